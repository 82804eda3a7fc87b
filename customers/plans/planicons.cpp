#include "planicons.h"

#include <QApplication>
#include <QHash>
#include <QStyle>

namespace kestrova::plans {

namespace {

IconProvider &provider()
{
    static IconProvider instance;
    return instance;
}

QIcon standardIcon(const QString &key)
{
    static const QHash<QString, QStyle::StandardPixmap> pictures = {
        {QStringLiteral("New"), QStyle::SP_FileIcon},
        {QStringLiteral("Edit"), QStyle::SP_FileDialogContentsView},
        {QStringLiteral("Delete"), QStyle::SP_TrashIcon},
        {QStringLiteral("Properties"), QStyle::SP_FileDialogInfoView},
        {QStringLiteral("Reflash"), QStyle::SP_BrowserReload},
        {QStringLiteral("View"), QStyle::SP_FileDialogStart},
        {QStringLiteral("View Large Icons"), QStyle::SP_DesktopIcon},
        {QStringLiteral("View Small Icons"), QStyle::SP_FileDialogListView},
        {QStringLiteral("View List"), QStyle::SP_FileDialogListView},
        {QStringLiteral("View Details"), QStyle::SP_FileDialogDetailedView},
    };
    const auto picture = pictures.constFind(key);
    if (picture == pictures.constEnd() || !qApp)
        return {};
    return QApplication::style()->standardIcon(*picture);
}

} // namespace

void setIconProvider(IconProvider iconProvider)
{
    provider() = std::move(iconProvider);
}

QIcon toolbarIcon(const QString &key)
{
    if (provider()) {
        const QIcon icon = provider()(key);
        if (!icon.isNull())
            return icon;
    }
    return standardIcon(key);
}

} // namespace kestrova::plans
