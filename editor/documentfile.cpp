#include "documentfile.h"

#include "editor/rtf/rtfreader.h"
#include "editor/rtf/rtfwriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextDocument>

namespace pennote {

namespace {

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

LoadOutcome loadRtfFile(const QString &path, QTextDocument *document)
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
    if (info.size() > kMaxDocumentBytes) {
        outcome.message = QStringLiteral("无法打开文件“%1”：文件太大。").arg(shown(path));
        return outcome;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        outcome.message =
            QStringLiteral("无法打开文件“%1”：%2").arg(shown(path), file.errorString());
        return outcome;
    }
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        outcome.message =
            QStringLiteral("无法读取文件“%1”：%2").arg(shown(path), file.errorString());
        return outcome;
    }
    if (!rtf::looksLikeRtf(data)) {
        outcome.message =
            QStringLiteral("文件“%1”不是 RTF 格式的文档，没有打开。").arg(shown(path));
        return outcome;
    }
    const rtf::ReadResult result = rtf::readRtf(data, document);
    if (!result.ok) {
        outcome.message = QStringLiteral("无法读取文件“%1”：%2").arg(shown(path), result.error);
        return outcome;
    }
    outcome.loaded = true;
    if (result.damaged)
        outcome.message =
            QStringLiteral("文件“%1”已损坏，只打开了其中能读出的部分。").arg(shown(path));
    return outcome;
}

QString saveRtfFile(const QTextDocument &document, const QString &path)
{
    const QFileInfo info(path);
    if (!info.absoluteDir().exists())
        return QStringLiteral("无法保存文件“%1”：文件夹不存在。").arg(shown(path));
    if (info.isDir())
        return QStringLiteral("无法保存文件“%1”：已有同名的文件夹。").arg(shown(path));

    const QByteArray data = rtf::writeRtf(document);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("无法保存文件“%1”：%2").arg(shown(path), file.errorString());
    if (file.write(data) != data.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return QStringLiteral("无法保存文件“%1”：%2").arg(shown(path), reason);
    }
    if (!file.commit())
        return QStringLiteral("无法保存文件“%1”：%2").arg(shown(path), file.errorString());
    return {};
}

} // namespace pennote
