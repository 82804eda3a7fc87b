#include "toolbaricons.h"

#include <QApplication>
#include <QHash>
#include <QStyle>

// The pictures are compiled into this static library; registering them must happen outside any
// namespace.
static void initKestrovaResources()
{
    Q_INIT_RESOURCE(kestrova);
}

namespace kestrova {

namespace {

void registerPictures()
{
    static const bool registered = (initKestrovaResources(), true);
    Q_UNUSED(registered);
}

} // namespace

QString comboArrowPicture()
{
    registerPictures();
    return QStringLiteral(":/kestrova/icons/combo_arrow.png");
}

QIcon toolbarIcon(const QString &key)
{
    static const QHash<QString, QString> files = {
        {QStringLiteral("Back"), QStringLiteral("back")},
        {QStringLiteral("Forward"), QStringLiteral("forward")},
        {QStringLiteral("New"), QStringLiteral("new")},
        {QStringLiteral("Edit"), QStringLiteral("edit")},
        {QStringLiteral("Delete"), QStringLiteral("delete")},
        {QStringLiteral("Properties"), QStringLiteral("properties")},
        {QStringLiteral("Reflash"), QStringLiteral("refresh")},
        {QStringLiteral("Find"), QStringLiteral("find")},
        {QStringLiteral("View Large Icons"), QStringLiteral("view_large")},
        {QStringLiteral("View Small Icons"), QStringLiteral("view_small")},
        {QStringLiteral("View List"), QStringLiteral("view_list")},
        {QStringLiteral("View Details"), QStringLiteral("view_details")},
        {QStringLiteral("Class"), QStringLiteral("class")},
        {QStringLiteral("Kestrova"), QStringLiteral("kestrova")},
    };
    registerPictures();
    const auto file = files.constFind(key);
    if (file == files.constEnd()) {
        if (key == u"View" && qApp)
            return QApplication::style()->standardIcon(QStyle::SP_FileDialogStart);
        return {};
    }
    QIcon icon;
    for (const int size : {16, 32})
        icon.addFile(QStringLiteral(":/kestrova/icons/%1_%2.png").arg(*file).arg(size),
                     QSize(size, size));
    return icon;
}

} // namespace kestrova
