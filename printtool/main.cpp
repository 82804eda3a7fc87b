#include "platform/fonts.h"
#include "printtool/Form1.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("inkleaf"));
    platform::installFontSubstitutions();

    inkleaf::Form1 window;
    window.show();
    return app.exec();
}
