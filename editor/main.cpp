#include "editor/form1.h"
#include "platform/fonts.h"
#include "platform/translations.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("pennote"));
    platform::installFontSubstitutions();
    platform::installTranslations(app);

    pennote::Form1 window;
    window.show();
    return app.exec();
}
