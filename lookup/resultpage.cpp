#include "resultpage.h"

#include "platform/codepage.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace lookup {

QString ResultPage::cut(const QString &markup)
{
    const qsizetype begin = markup.indexOf(kBeginMarker);
    if (begin < 0)
        return markup;
    const qsizetype end = markup.indexOf(kEndMarker, begin + kSkipDistance);
    if (end < 0)
        return markup;
    return markup.mid(begin, end - begin);
}

QString ResultPage::withHeader(const QString &section)
{
    return kStyleHeader + section;
}

QByteArray ResultPage::fileBytes(const QString &headedText)
{
    QByteArray bytes = platform::toAnsi(headedText);
    bytes.append("\r\n");
    return bytes;
}

bool ResultPage::write(const QString &path, const QByteArray &bytes, QString *errorString)
{
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath())) {
        if (errorString)
            *errorString = QStringLiteral("cannot create folder %1").arg(info.absolutePath());
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (errorString)
            *errorString = file.errorString();
        return false;
    }
    if (file.write(bytes) != bytes.size()) {
        if (errorString)
            *errorString = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (errorString)
            *errorString = file.errorString();
        return false;
    }
    return true;
}

} // namespace lookup
