#pragma once

#include "directory.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QStringView>

namespace demo {

// The directory and the banner page compiled into the program.
inline constexpr QStringView builtInDirectory = u":/demo/data/directory.tsv";
inline constexpr QStringView builtInBanner = u":/demo/pages/login.html";

// Every page of the site is sent with this content type; the bodies are GBK bytes.
inline constexpr char contentType[] = "text/html; charset=gbk";

struct Reply
{
    static constexpr int never = -1;

    int status = 200;
    QByteArray body; // GBK unless contentType says otherwise
    QByteArray contentType = demo::contentType;
    // How long the site waits before it answers; `never` keeps the client waiting until the
    // site stops.
    int delayMs = 0;
};

// The site's answer to one request, given its method ("GET", "HEAD", "POST") and its raw
// request target ("/SSjkzcnum.asp?keyword=%D5%C5"). Paths are compared without regard to ASCII
// case, as the old IIS site did.
//
//   /SSjkzcnum.asp?keyword=K   entries whose number contains K
//   /SSjkzctel.asp?keyword=K   entries whose name or address contains K
//     K = "~silent"           never answers
//     K = "~slowN"            answers the search after N seconds
//     K = "~hugeN"            a listing of about N MB
//     K = "~error500"         status 500 with a UTF-8 page that declares its charset
//   /fbxx.html, /dhcs.html     the application and correction forms (POST: an acknowledgement)
//   /, /index.html             the home page
//   anything else              404
Reply answer(const Directory &directory, QByteArrayView method, QByteArrayView target);

} // namespace demo
