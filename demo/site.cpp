#include "site.h"

#include "keyword.h"
#include "pages.h"
#include "platform/codepage.h"

namespace demo {

namespace {

bool samePath(QByteArrayView path, QByteArrayView wanted)
{
    return path.compare(wanted, Qt::CaseInsensitive) == 0;
}

Reply page(const QString &html, int status = 200)
{
    return {status, platform::toAnsi(html)};
}

QByteArray hugeListing(int megabytes)
{
    const QByteArray row = platform::toAnsi(
        QStringLiteral("<tr><td>测试用户</td><td>88000000</td><td>澜州市明湖区</td></tr>\n"));
    const qsizetype rows = qsizetype(megabytes) * 1024 * 1024 / row.size() + 1;
    QByteArray body = "<html><body>" + beginMarker.toLatin1() + "<table>\n";
    body.reserve(body.size() + rows * row.size() + 64);
    for (qsizetype i = 0; i < rows; ++i)
        body += row;
    return body + "</table>" + endMarker.toLatin1() + "</body></html>";
}

// Turns the ordinary answer into one that lets a client be tried against a site that
// misbehaves, when the keyword asks for that.
void misbehave(const QString &keyword, Reply &reply)
{
    const auto number = [&keyword](QStringView prefix) {
        bool ok = false;
        const int n = keyword.startsWith(prefix) ? keyword.sliced(prefix.size()).toInt(&ok) : 0;
        return ok && n > 0 && n <= 1000 ? n : 0;
    };
    if (keyword == u"~silent") {
        reply.delayMs = Reply::never;
    } else if (keyword == u"~error500") {
        reply.status = 500;
        reply.contentType = "text/html; charset=utf-8";
        reply.body = QStringLiteral("<html><head><meta charset=\"utf-8\"><title>服务器错误</title>"
                                    "</head><body><h1>服务器内部错误</h1></body></html>")
                         .toUtf8();
    } else if (const int seconds = number(u"~slow")) {
        reply.delayMs = seconds * 1000;
    } else if (const int megabytes = number(u"~huge")) {
        reply.body = hugeListing(megabytes);
    }
}

} // namespace

Reply answer(const Directory &directory, QByteArrayView method, QByteArrayView target)
{
    const qsizetype question = target.indexOf('?');
    const QByteArrayView path = question < 0 ? target : target.first(question);
    const bool post = method == "POST";

    const bool byNumber = samePath(path, "/SSjkzcnum.asp");
    if (!post && (byNumber || samePath(path, "/SSjkzctel.asp"))) {
        const QString keyword = searchKeyword(target);
        Reply reply =
            byNumber
                ? page(searchPage(SearchKind::Number, keyword, directory.findByNumber(keyword)))
                : page(searchPage(SearchKind::Name, keyword, directory.findByName(keyword)));
        misbehave(keyword, reply);
        return reply;
    }
    if (samePath(path, "/fbxx.html"))
        return page(post ? thanksPage() : applyPage());
    if (samePath(path, "/dhcs.html"))
        return page(post ? thanksPage() : correctionPage());
    if (!post && (samePath(path, "/") || samePath(path, "/index.html")))
        return page(homePage());
    return page(notFoundPage(platform::fromAnsi(percentDecode(path))), 404);
}

} // namespace demo
