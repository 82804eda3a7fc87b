#pragma once

#include <QMarginsF>
#include <QSizeF>

class QTextDocument;

namespace rtf {

// Paper and margins a document states (\paperw \paperh \margl \margr \margt \margb \landscape),
// in twips. Reading a document sets it (present=false when the document states none); the
// writer writes it back when present.
struct PageSetup
{
    bool present = false;
    QSizeF paperTwips;
    bool landscape = false;
    QMarginsF marginsTwips;

    bool operator==(const PageSetup &) const = default;
};

PageSetup pageSetup(const QTextDocument &doc);
void setPageSetup(QTextDocument &doc, const PageSetup &setup);

} // namespace rtf
