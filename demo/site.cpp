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

} // namespace

Reply answer(const Directory &directory, QByteArrayView method, QByteArrayView target)
{
    const qsizetype question = target.indexOf('?');
    const QByteArrayView path = question < 0 ? target : target.first(question);
    const bool post = method == "POST";

    if (!post && samePath(path, "/SSjkzcnum.asp")) {
        const QString keyword = searchKeyword(target);
        return page(searchPage(SearchKind::Number, keyword, directory.findByNumber(keyword)));
    }
    if (!post && samePath(path, "/SSjkzctel.asp")) {
        const QString keyword = searchKeyword(target);
        return page(searchPage(SearchKind::Name, keyword, directory.findByName(keyword)));
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
