#include "documentfile.h"

#include "editor/rtf/rtfreader.h"
#include "editor/rtf/rtfwriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextDocument>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace pennote {

namespace {

// Reading and writing the bytes report their progress in pieces of this size.
constexpr qint64 kPieceBytes = qint64(4) * 1024 * 1024;
// Of a whole load or save, the share of moving the bytes to or from the disk, in thousandths;
// the rest is the reader's or writer's work.
constexpr qint64 kDiskShare = 100;
constexpr qint64 kWhole = 1000;

// The progress of one stage, reported as a part of the whole [from, to) thousandths.
rtf::Progress stage(const Progress &progress, qint64 from, qint64 to)
{
    if (!progress)
        return {};
    return [&progress, from, to](qint64 done, qint64 total) {
        const qint64 part =
            total > 0 ? qBound<qint64>(0, done * (to - from) / total, to - from) : 0;
        return progress(from + part, kWhole);
    };
}

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QString notADocument(const QString &path)
{
    return QStringLiteral("文件“%1”不是 RTF 格式的文档，没有打开。").arg(shown(path));
}

QString tooLarge(const QString &path)
{
    return QStringLiteral("无法打开文件“%1”：文件太大，pennote 只能打开 %2 MB 以内的文档。")
        .arg(shown(path))
        .arg(kMaxDocumentMegabytes);
}

// Opens `path` for reading only when it is a regular file. A named pipe would block in open()
// until someone writes to it, so the file is opened without waiting and checked through the
// handle it gave, which also covers a file swapped for a pipe after it was looked at.
bool openRegularFile(QFile &file, const QString &path)
{
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return file.open(QIODevice::ReadOnly); // for the reason in errorString()
    struct stat status;
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return false;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
#else
    return QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly);
#endif
}

} // namespace

LoadOutcome loadRtfFile(const QString &path, QTextDocument *document, const Progress &progress)
{
    LoadOutcome outcome;
    const QFileInfo info(path);
    if (!info.exists()) {
        outcome.message = QStringLiteral("无法打开文件“%1”：文件不存在。").arg(shown(path));
        return outcome;
    }
    if (info.isDir()) {
        outcome.message = QStringLiteral("无法打开“%1”：这是一个文件夹。").arg(shown(path));
        return outcome;
    }
    if (!info.isFile()) {
        outcome.message = notADocument(path);
        return outcome;
    }
    if (info.size() > kMaxDocumentBytes) {
        outcome.message = tooLarge(path);
        return outcome;
    }
    QFile file(path);
    if (!openRegularFile(file, path)) {
        outcome.message =
            file.error() == QFileDevice::NoError
                ? notADocument(path)
                : QStringLiteral("无法打开文件“%1”：%2").arg(shown(path), file.errorString());
        return outcome;
    }
    // One buffer of the file's size, filled piece by piece so that a long read can be stopped.
    const qint64 size = file.size();
    if (size > kMaxDocumentBytes) {
        outcome.message = tooLarge(path);
        return outcome;
    }
    QByteArray data(size, Qt::Uninitialized);
    const rtf::Progress reading = stage(progress, 0, kDiskShare);
    qint64 got = 0;
    while (got < size) {
        const qint64 n = file.read(data.data() + got, qMin(kPieceBytes, size - got));
        if (n <= 0)
            break;
        got += n;
        if (reading && !reading(got, size)) {
            outcome.cancelled = true;
            return outcome;
        }
    }
    if (file.error() != QFileDevice::NoError) {
        outcome.message =
            QStringLiteral("无法读取文件“%1”：%2").arg(shown(path), file.errorString());
        return outcome;
    }
    data.truncate(got);
    file.close();
    if (!rtf::looksLikeRtf(data)) {
        outcome.message = notADocument(path);
        return outcome;
    }
    rtf::ReadOptions options;
    options.progress = stage(progress, kDiskShare, kWhole);
    const rtf::ReadResult result = rtf::readRtf(data, document, options);
    if (result.cancelled) {
        outcome.cancelled = true;
        return outcome;
    }
    if (!result.ok) {
        outcome.message = QStringLiteral("无法读取文件“%1”：%2").arg(shown(path), result.error);
        return outcome;
    }
    outcome.loaded = true;
    QStringList notes;
    if (result.damaged)
        notes << QStringLiteral("文件“%1”已损坏，只打开了其中能读出的部分。").arg(shown(path));
    if (!result.lostParts.isEmpty())
        notes << QStringLiteral("此文档中的部分内容（%1）无法保留。")
                     .arg(result.lostParts.join(QStringLiteral("、")));
    outcome.message = notes.join(u'\n');
    return outcome;
}

SaveOutcome saveRtfFile(const QTextDocument &document, const QString &path,
                        const Progress &progress)
{
    SaveOutcome outcome;
    const QFileInfo info(path);
    if (!info.absoluteDir().exists()) {
        outcome.message = QStringLiteral("无法保存文件“%1”：文件夹不存在。").arg(shown(path));
        return outcome;
    }
    if (info.isDir()) {
        outcome.message = QStringLiteral("无法保存文件“%1”：已有同名的文件夹。").arg(shown(path));
        return outcome;
    }
    // The new file would take the place of a pipe or device someone else uses.
    if (info.exists() && !info.isFile()) {
        outcome.message = QStringLiteral("无法保存文件“%1”：这不是普通文件。").arg(shown(path));
        return outcome;
    }

    rtf::WriteOptions options;
    options.progress = stage(progress, 0, kWhole - kDiskShare);
    bool cancelled = false;
    const QByteArray data = rtf::writeRtf(document, options, &cancelled);
    if (cancelled) {
        outcome.cancelled = true;
        return outcome;
    }
    const rtf::Progress writing = stage(progress, kWhole - kDiskShare, kWhole);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        outcome.message =
            QStringLiteral("无法保存文件“%1”：%2").arg(shown(path), file.errorString());
        return outcome;
    }
    for (qint64 put = 0; put < data.size();) {
        const qint64 n = file.write(data.constData() + put, qMin(kPieceBytes, data.size() - put));
        if (n <= 0) {
            const QString reason = file.errorString();
            file.cancelWriting();
            outcome.message = QStringLiteral("无法保存文件“%1”：%2").arg(shown(path), reason);
            return outcome;
        }
        put += n;
        if (writing && !writing(put, data.size())) {
            file.cancelWriting();
            outcome.cancelled = true;
            return outcome;
        }
    }
    if (!file.commit()) {
        outcome.message =
            QStringLiteral("无法保存文件“%1”：%2").arg(shown(path), file.errorString());
        return outcome;
    }
    outcome.saved = true;
    return outcome;
}

} // namespace pennote
