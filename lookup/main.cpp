#include "lookup/buildconstants.h"
#include "lookup/memorypage.h"
#include "lookup/nct.h"
#include "platform/fonts.h"
#include "platform/translations.h"

#include <QApplication>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

int main(int argc, char *argv[])
{
#ifdef Q_OS_UNIX
    // The browser engine refuses to run as root with its sandbox on; other users keep it.
    if (::geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
#endif
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    lookup::MemoryPage::registerScheme();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(lookup::kThisBuild.caption));
    platform::installFontSubstitutions();
    platform::installTranslations(app);

    lookup::nct window(lookup::kThisBuild);
    window.show();
    return app.exec();
}
