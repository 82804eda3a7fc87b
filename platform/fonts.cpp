#include "fonts.h"

#include <QFont>
#include <QFontDatabase>
#include <QStringList>

namespace platform {

void installFontSubstitutions()
{
    static const QStringList songFaces = {
        QStringLiteral("AR PL UMing CN"), QStringLiteral("AR PL UMing TW"),
        QStringLiteral("Noto Serif CJK SC"), QStringLiteral("WenQuanYi Micro Hei")};
    static const QStringList sansFaces = {QStringLiteral("WenQuanYi Micro Hei"),
                                          QStringLiteral("Noto Sans CJK SC"),
                                          QStringLiteral("AR PL UMing CN")};
    const QStringList installed = QFontDatabase::families();
    auto available = [&installed](const QStringList &faces) {
        QStringList found;
        for (const QString &face : faces) {
            if (installed.contains(face, Qt::CaseInsensitive))
                found << face;
        }
        return found;
    };
    const QStringList song = available(songFaces);
    const QStringList sans = available(sansFaces);
    if (!song.isEmpty()) {
        for (const char *name : {"宋体", "新宋体", "SimSun", "NSimSun"})
            QFont::insertSubstitutions(QString::fromUtf8(name), song);
    }
    if (!sans.isEmpty()) {
        for (const char *name : {"黑体", "SimHei", "微软雅黑", "Microsoft YaHei", "MS Sans Serif"})
            QFont::insertSubstitutions(QString::fromUtf8(name), sans);
    }
}

} // namespace platform
