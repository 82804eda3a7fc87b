#include "resultpage.h"

#include "platform/codepage.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
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

QString ResultPage::declaringCharset(const QString &markup, QStringView charset)
{
    static const QRegularExpression metaTag(QStringLiteral("<meta\\b[^>]*>"),
                                            QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression declaration(
        QStringLiteral("(charset\\s*=\\s*[\"']?)[^\"'\\s;>/]+"),
        QRegularExpression::CaseInsensitiveOption);
    QString result;
    qsizetype done = 0;
    for (const QRegularExpressionMatch &tag : metaTag.globalMatch(markup)) {
        QString text = tag.captured();
        text.replace(declaration, QStringLiteral("\\1") + charset);
        result += QStringView(markup).sliced(done, tag.capturedStart() - done) + text;
        done = tag.capturedEnd();
    }
    if (done == 0)
        return markup;
    return result + QStringView(markup).sliced(done);
}

QByteArray ResultPage::fileBytes(const QString &headedText)
{
    QByteArray bytes = platform::toAnsi(declaringCharset(headedText, platform::kAnsiCharset));
    bytes.append("\r\n");
    return bytes;
}

QUrl ResultPage::linkTarget(const QUrl &clicked, const QUrl &shownPage, const QUrl &answerPage)
{
    const auto withoutPlace = QUrl::RemoveQuery | QUrl::RemoveFragment;
    if (!answerPage.isValid() || clicked.scheme() != shownPage.scheme() ||
        clicked.adjusted(withoutPlace) == shownPage.adjusted(withoutPlace))
        return clicked;
    QUrl relative;
    if (shownPage.isLocalFile()) {
        // "/fbxx.html" became file:///fbxx.html, "fbxx.html" a file beside the page: both are
        // the same steps away from the page's folder as from the answer page's.
        const QDir folder = QFileInfo(shownPage.toLocalFile()).absoluteDir();
        relative.setPath(folder.relativeFilePath(clicked.toLocalFile()));
    } else {
        relative.setPath(clicked.path());
    }
    if (clicked.hasQuery())
        relative.setQuery(clicked.query(QUrl::FullyEncoded), QUrl::StrictMode);
    if (clicked.hasFragment())
        relative.setFragment(clicked.fragment(QUrl::FullyEncoded), QUrl::StrictMode);
    return answerPage.resolved(relative);
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
