#pragma once

#include "directory.h"

#include <QString>
#include <QStringView>

namespace demo {

// The comments that bracket the listing section of an answer page. The lookup client cuts its
// result out between them and only sees an end marker that starts at least 1500 characters after
// the begin marker, so the section is always made longer than that.
inline constexpr QStringView beginMarker = u"<!-- Marlowen begin -->";
inline constexpr QStringView endMarker = u"<!-- Marlowen end -->";

// At most this many rows are listed on one answer page; the heading still gives the full count.
inline constexpr qsizetype maxRows = 200;

enum class SearchKind {
    Number, // reverse lookup, "/SSjkzcnum.asp"
    Name,   // lookup by name, "/SSjkzctel.asp"
};

// The answer page of a search: the listing of `matches` (or the no-match message when there are
// none) between the two markers, inside the site's page frame. `keyword` is shown HTML-escaped.
QString searchPage(SearchKind kind, QStringView keyword, const QList<Entry> &matches);

QString homePage();
// "/fbxx.html": the form for applying to be listed.
QString applyPage();
// "/dhcs.html": the form for asking for a correction or a deletion.
QString correctionPage();
// The answer to a submitted application or correction form; nothing is stored.
QString thanksPage();
// A small page for an address the site does not have; `path` is shown HTML-escaped.
QString notFoundPage(QStringView path);
// A small page for a request the site cannot serve at all (a malformed request, an unsupported
// method), headed by the HTTP status.
QString errorPage(int status);

} // namespace demo
