#include "platform/fonts.h"
#include "platform/translations.h"
#include "printtool/Form1.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("inkleaf"));
    platform::installFontSubstitutions();
    platform::installTranslations(app);

    inkleaf::Form1 window;
    window.show();
    return app.exec();
}
