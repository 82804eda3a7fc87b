#pragma once

#include <QHash>
#include <QList>
#include <QString>

// What a PDF printout says, read back with poppler's pdftotext: its pages and its text lines with
// their positions in points from the top-left corner of the paper.
struct PrintedLine
{
    int page = 0;
    double top = 0;
    double bottom = 0;
    double left = 0;
    QString text; // the line's words joined by single blanks
};

struct PrintedPdf
{
    QString error; // empty when the file could be read
    int pages = 0;
    double pageHeight = 0;
    QList<PrintedLine> lines;         // in reading order: by page, then from top to bottom
    QHash<QString, double> wordLefts; // left edge of each word (of its last occurrence)

    QStringList texts() const;
};

PrintedPdf readPrintedPdf(const QString &path);
