#include "paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace platform {

namespace {

bool isDrivePath(const QString &path)
{
    return path.size() >= 2 && path.at(1) == u':' && path.at(0).isLetter() &&
           path.at(0).unicode() < 128;
}

// Appends the components of `relative` to `base`, reusing an existing entry whose name differs
// only in case.
QString resolveBelow(const QString &base, const QString &relative)
{
    QString current = base;
    bool exists = QFileInfo(current).isDir();
    const QStringList parts = relative.split(u'/', Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        if (part == u".")
            continue;
        QString chosen = part;
        if (exists) {
            const QStringList entries =
                QDir(current).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
            if (!entries.contains(part)) {
                for (const QString &entry : entries) {
                    if (entry.compare(part, Qt::CaseInsensitive) == 0) {
                        chosen = entry;
                        break;
                    }
                }
            }
        }
        current += u'/' + chosen;
        exists = exists && QFileInfo(current).isDir();
    }
    return current;
}

} // namespace

QString installFolder()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

QString driveRoot(QChar driveLetter)
{
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (data.isEmpty())
        data = QDir::homePath() + QStringLiteral("/.local/share");
    return data + QStringLiteral("/dialvane/drive_") + driveLetter.toLower();
}

QString localPath(const QString &windowsPath)
{
#ifdef Q_OS_WIN
    return windowsPath;
#else
    QString path = windowsPath;
    path.replace(u'\\', u'/');
    if (!isDrivePath(path))
        return path;

    const QString install = QString::fromLatin1(kInstallFolder).replace(u'\\', u'/');
    if (path.startsWith(install, Qt::CaseInsensitive))
        return resolveBelow(installFolder(), path.mid(install.size()));
    if (path.compare(install.chopped(1), Qt::CaseInsensitive) == 0)
        return installFolder();

    const QChar drive = path.at(0);
    const QString mine = resolveBelow(driveRoot(drive), path.mid(2));
    if (QFileInfo::exists(mine))
        return mine;
    // Files the product installs on the system drive (the dialseek banner) ship below the
    // install folder; the user's own copy, once there, takes precedence.
    const QString shipped =
        resolveBelow(installFolder() + QStringLiteral("/drive_") + drive.toLower(), path.mid(2));
    return QFileInfo(shipped).isFile() ? shipped : mine;
#endif
}

} // namespace platform
