#include "lookup/buildconstants.h"
#include "lookup/memorypage.h"
#include "lookup/nct.h"
#include "platform/fonts.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    lookup::MemoryPage::registerScheme();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(lookup::kThisBuild.caption));
    platform::installFontSubstitutions();

    lookup::nct window(lookup::kThisBuild);
    window.show();
    return app.exec();
}
