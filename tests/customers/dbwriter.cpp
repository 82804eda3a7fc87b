// Helper of the crash-safety test: adds client rows through the cursor as fast as it can and
// prints the serial number of every committed row, until it is killed.

#include "customers/data/clsdatabase.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2)
        return 2;
    kestrova::clsDataBase db(QString::fromLocal8Bit(argv[1]));
    if (!db.OpenDB(QString::fromUtf16(kestrova::kClientTable)))
        return 1;
    const QStringList &captions = kestrova::clientCaptions();
    for (int serial = 1;; ++serial) {
        const QString token = QStringLiteral("row-%1").arg(serial);
        db.AddNew();
        for (int c = 1; c < kestrova::ClientColumnCount; ++c) {
            if (c == kestrova::ClientRegisterDate)
                db.SetRecord(captions[c], QStringLiteral("2024-5-6"));
            else if (c == kestrova::ClientAuditing)
                db.SetRecord(captions[c], QStringLiteral("True"));
            else
                db.SetRecord(captions[c], token);
        }
        db.Update();
        std::printf("%d\n", serial);
        std::fflush(stdout);
    }
}
