#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <QUrl>

namespace lookup {

// The listing section of a directory answer page and the local result page made from it.
// The directory site brackets its listing with two comment markers; the result page is a
// small style header, the section and CR LF, in the ANSI code page, with no wrapper.
class ResultPage
{
public:
    static constexpr QStringView kBeginMarker = u"<!-- Marlowen begin -->";
    static constexpr QStringView kEndMarker = u"<!-- Marlowen end -->";
    // An end marker is only seen this many characters (UTF-16 units) or more after the first
    // character of the begin marker.
    static constexpr qsizetype kSkipDistance = 1500;
    static constexpr QStringView kStyleHeader =
        u"<STYLE type=text/css>td,p,li,select,input,textarea {font-size:12px;}BODY{COLOR: red;}"
        u"</STYLE>";
    // The fixed Windows path of the result page; platform::localPath() maps it.
    static constexpr char kFilePath[] = "c:\\windows\\system32\\windows.htm";

    // The section from the begin marker up to (not including) the first end marker at or after
    // the skip distance; the whole markup when either marker is missing.
    static QString cut(const QString &markup);

    // Style header + section: the text the window keeps once a page is shown.
    static QString withHeader(const QString &section);

    // The bytes of the result file for a headed text: ANSI code page, ending in CR LF. Character
    // set declarations the answer page carried (meta charset, http-equiv Content-Type) are made
    // to name the code page, so the file reads the same whatever the answer declared.
    static QByteArray fileBytes(const QString &headedText);

    // `markup` with the character set of every meta declaration replaced by `charset`.
    static QString declaringCharset(const QString &markup, QStringView charset);

    // Where a link clicked in the shown result page leads: a link the browser resolved against
    // the local page (`shownPage`, a file or an in-memory page) is resolved against the address
    // of the answer page the result was cut from instead. Other links, and links within the
    // shown page itself, are returned as they are.
    static QUrl linkTarget(const QUrl &clicked, const QUrl &shownPage, const QUrl &answerPage);

    // Replaces the file at `path` atomically with `bytes`, creating its folder when needed.
    // A reader never sees a half-written file; on failure the old file is left as it was.
    static bool write(const QString &path, const QByteArray &bytes, QString *errorString = nullptr);
};

} // namespace lookup
