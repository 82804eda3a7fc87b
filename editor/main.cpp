#include "editor/form1.h"
#include "platform/fonts.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("pennote"));
    platform::installFontSubstitutions();

    pennote::Form1 window;
    window.show();
    return app.exec();
}
