#include "databaselocation.h"

#include "columns.h"

#include "platform/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QUrl>
#include <QUrlQuery>

#ifdef Q_OS_LINUX
#include <sys/vfs.h>
#endif

namespace kestrova {

namespace {

QString &sessionPasswordStore()
{
    static QString password;
    return password;
}

constexpr char16_t kApplication[] = u"Kestrova";

// Magic numbers of statfs's f_type (linux/magic.h and the CIFS/SMB2 clients).
constexpr long kNfsMagic = 0x6969;
constexpr long kSmbMagic = 0x517B;
constexpr long kCifsMagic = 0xFF534D42;
constexpr long kSmb2Magic = 0xFE534D42;
constexpr long kFuseMagic = 0x65735546;
constexpr long kCodaMagic = 0x73757245;
constexpr long kAfsMagic = 0x5346414F;
constexpr long kNcpMagic = 0x564C;
constexpr long kCephMagic = 0x00C36400;

// The mount type of the mount point holding `path`: the longest mount point that prefixes it.
QString mountTypeOf(const QString &path)
{
    QFile mounts(QStringLiteral("/proc/self/mounts"));
    if (!mounts.open(QIODevice::ReadOnly))
        return {};
    QString best;
    QString type;
    const QString canonical = QFileInfo(path).canonicalFilePath();
    while (!mounts.atEnd()) {
        const QList<QByteArray> fields = mounts.readLine().split(' ');
        if (fields.size() < 3)
            continue;
        // Blanks in mount points are written as \040.
        QString point =
            QString::fromUtf8(fields[1]).replace(QStringLiteral("\\040"), QStringLiteral(" "));
        const bool under =
            canonical == point || canonical.startsWith(point.endsWith(u'/') ? point : point + u'/');
        if (under && point.size() >= best.size()) {
            best = point;
            type = QString::fromUtf8(fields[2]);
        }
    }
    return type;
}

} // namespace

bool isNetworkFileSystem(long fsType, const QString &mountType)
{
    switch (fsType) {
    case kNfsMagic:
    case kSmbMagic:
    case kCifsMagic:
    case kSmb2Magic:
    case kCodaMagic:
    case kAfsMagic:
    case kNcpMagic:
    case kCephMagic:
        return true;
    case kFuseMagic: {
        // FUSE serves local file systems too; only the network ones count.
        static const QStringList network = {
            QStringLiteral("sshfs"),     QStringLiteral("rclone"),     QStringLiteral("s3fs"),
            QStringLiteral("davfs"),     QStringLiteral("gvfsd-fuse"), QStringLiteral("smbnetfs"),
            QStringLiteral("glusterfs"), QStringLiteral("curlftpfs")};
        const QString sub = mountType.section(u'.', 1);
        return network.contains(sub.isEmpty() ? mountType : sub);
    }
    default:
        return false;
    }
}

DatabaseLocation DatabaseLocation::parse(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (!trimmed.startsWith(u"postgresql://", Qt::CaseInsensitive) &&
        !trimmed.startsWith(u"postgres://", Qt::CaseInsensitive)) {
        if (trimmed.isEmpty()) {
            DatabaseLocation invalid;
            invalid.m_error = QStringLiteral("no database named");
            return invalid;
        }
        // A file: URL names a file too.
        const QUrl url(trimmed);
        return file(url.isLocalFile() ? url.toLocalFile() : trimmed);
    }
    const QUrl url(trimmed, QUrl::StrictMode);
    DatabaseLocation location;
    location.m_kind = Server;
    if (!url.isValid()) {
        location.m_error =
            QStringLiteral("\"%1\" is no valid address: %2").arg(trimmed, url.errorString());
        return location;
    }
    location.m_host = url.host();
    location.m_port = url.port(0);
    location.m_user = url.userName();
    location.m_password = url.password();
    location.m_database = url.path().mid(1);
    const QUrlQuery query(url);
    if (query.hasQueryItem(QStringLiteral("host")))
        location.m_host = query.queryItemValue(QStringLiteral("host"), QUrl::FullyDecoded);
    if (query.hasQueryItem(QStringLiteral("port")))
        location.m_port = query.queryItemValue(QStringLiteral("port")).toInt();
    if (query.hasQueryItem(QStringLiteral("user")))
        location.m_user = query.queryItemValue(QStringLiteral("user"), QUrl::FullyDecoded);
    if (location.m_database.isEmpty() || location.m_database.contains(u'/')) {
        location.m_error = QStringLiteral("\"%1\" names no database").arg(trimmed);
        return location;
    }
    if (location.m_port < 0 || location.m_port > 65535) {
        location.m_error = QStringLiteral("\"%1\" has no valid port").arg(trimmed);
        return location;
    }
    location.m_valid = true;
    return location;
}

DatabaseLocation DatabaseLocation::file(const QString &path)
{
    DatabaseLocation location;
    location.m_kind = File;
    location.m_path = path;
    location.m_valid = !path.isEmpty();
    if (!location.m_valid)
        location.m_error = QStringLiteral("no database named");
    return location;
}

DatabaseLocation DatabaseLocation::server(const QString &host, int port, const QString &database,
                                          const QString &user)
{
    DatabaseLocation location;
    location.m_kind = Server;
    location.m_host = host;
    location.m_port = port;
    location.m_database = database;
    location.m_user = user;
    location.m_valid = !database.isEmpty() && port >= 0 && port <= 65535;
    if (!location.m_valid)
        location.m_error = QStringLiteral("no database named");
    return location;
}

DatabaseLocation DatabaseLocation::localFile()
{
    return file(QDir(platform::installFolder()).filePath(QString::fromUtf16(kDataFileName)));
}

DatabaseLocation DatabaseLocation::fromSettings()
{
    const QSettings settings(QString::fromUtf16(kApplication), QString::fromUtf16(kApplication));
    const QString text = settings.value(QString::fromUtf16(kSettingsKey)).toString().trimmed();
    return text.isEmpty() ? localFile() : parse(text);
}

void DatabaseLocation::saveToSettings(const DatabaseLocation &location)
{
    QSettings settings(QString::fromUtf16(kApplication), QString::fromUtf16(kApplication));
    const bool local = !location.isServer() && location == localFile();
    settings.setValue(QString::fromUtf16(kSettingsKey), local ? QString() : location.toString());
}

QString DatabaseLocation::toString() const
{
    if (m_kind == File)
        return m_path;
    QUrl url;
    url.setScheme(QStringLiteral("postgresql"));
    QUrlQuery query;
    if (m_host.startsWith(u'/')) {
        url.setHost(QString());
        query.addQueryItem(QStringLiteral("host"), m_host);
    } else {
        url.setHost(m_host);
    }
    url.setUserName(m_user);
    if (m_port > 0)
        url.setPort(m_port);
    url.setPath(u'/' + m_database);
    url.setQuery(query);
    QString text = url.toString();
    // QUrl leaves out the authority when there is no host; libpq wants "//" in any case.
    if (!text.startsWith(u"postgresql://"))
        text.replace(0, int(sizeof("postgresql:") - 1), QStringLiteral("postgresql://"));
    return text;
}

QString DatabaseLocation::displayText() const
{
    if (m_kind == File)
        return m_path;
    QString where = m_host.isEmpty() ? QStringLiteral("localhost") : m_host;
    if (m_port > 0)
        where += u':' + QString::number(m_port);
    return m_database + u" @ " + where;
}

void DatabaseLocation::setSessionPassword(const QString &password)
{
    sessionPasswordStore() = password;
}

QString DatabaseLocation::sessionPassword()
{
    return sessionPasswordStore();
}

bool DatabaseLocation::onNetworkShare() const
{
#ifdef Q_OS_LINUX
    if (m_kind != File || m_path.isEmpty())
        return false;
    QFileInfo info(m_path);
    const QString probe = info.exists() ? info.absoluteFilePath() : info.absolutePath();
    struct statfs fs = {};
    if (statfs(QFile::encodeName(probe).constData(), &fs) != 0)
        return false;
    const long type = static_cast<long>(static_cast<unsigned long>(fs.f_type) & 0xFFFFFFFFul);
    return isNetworkFileSystem(type, type == kFuseMagic ? mountTypeOf(probe) : QString());
#else
    return false;
#endif
}

} // namespace kestrova
