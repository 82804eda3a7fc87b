#include "translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace platform {

namespace {

// Every Qt module whose texts the programs show: widgets, dialogs and printing live in qtbase,
// the result pane's menu in qtwebengine.
constexpr const char *kCatalogues[] = {"qtbase", "qtwebengine"};
constexpr char kTranslatorName[] = "platform-qt-translation";

// The engine's user-interface language: its own error pages and the languages it asks sites for.
// The engine reads its flags once, when the first page is created.
void setBrowserLanguage(const QLocale &locale)
{
    if (locale.language() == QLocale::C)
        return;
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (flags.contains("--lang="))
        return;
    const QByteArray tag = locale.name().replace(u'_', u'-').toLatin1();
    flags.append(flags.isEmpty() ? "" : " ").append("--lang=" + tag);
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
}

} // namespace

int installTranslations(QCoreApplication &app)
{
    const QList<QTranslator *> earlier =
        app.findChildren<QTranslator *>(QLatin1String(kTranslatorName), Qt::FindDirectChildrenOnly);
    for (QTranslator *translator : earlier) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }

    const QLocale locale;
    setBrowserLanguage(locale);
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    int installed = 0;
    for (const char *catalogue : kCatalogues) {
        auto *translator = new QTranslator(&app);
        translator->setObjectName(QLatin1String(kTranslatorName));
        // A missing catalogue leaves Qt's built-in English texts.
        if (translator->load(locale, QLatin1String(catalogue), QStringLiteral("_"), folder) &&
            QCoreApplication::installTranslator(translator)) {
            ++installed;
        } else {
            delete translator;
        }
    }
    return installed;
}

} // namespace platform
