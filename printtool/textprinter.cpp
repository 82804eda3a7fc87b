#include "printtool/textprinter.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QStringList>

#include <cmath>

namespace inkleaf {

namespace {

// Text from the clipboard may carry Windows or old Mac line ends; each is one line end on paper.
QStringList splitLines(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    text.replace(QChar::ParagraphSeparator, u'\n');
    text.replace(QChar::LineSeparator, u'\n');
    return text.split(u'\n');
}

// Writes one line from the left edge; a tab moves on to the next stop of eight blanks' width.
void printLine(QPainter &painter, const QFontMetricsF &metrics, const QString &line, qreal baseline,
               qreal tabStop)
{
    qreal x = 0;
    const QStringList pieces = line.split(u'\t');
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        if (i > 0)
            x = (std::floor(x / tabStop) + 1) * tabStop;
        if (!pieces[i].isEmpty()) {
            painter.drawText(QPointF(x, baseline), pieces[i]);
            x += metrics.horizontalAdvance(pieces[i]);
        }
    }
}

} // namespace

QFont printerDefaultFont()
{
    // 宋体 is mapped to the installed Song-style face, so Chinese listings print as they show.
    return QFont(QStringLiteral("宋体"), 10);
}

bool printPlainText(QPrinter &printer, const QString &text, int copies, const QFont &font)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    painter.setFont(font);
    painter.setPen(Qt::black);

    const QFontMetricsF metrics(painter.font(), painter.device());
    const qreal lineHeight = metrics.lineSpacing();
    const qreal pageHeight = printer.pageRect(QPrinter::DevicePixel).height();

    const qreal tabStop = 8 * metrics.horizontalAdvance(u' ');
    const qreal ascent = metrics.ascent();

    const QStringList lines = splitLines(text);
    qreal y = 0;
    for (int copy = 0; copy < copies; ++copy) {
        for (const QString &line : lines) {
            // A line that does not fit below the last one goes to the top of a new page; one
            // that is taller than a whole page is printed at the top anyway.
            if (y > 0 && y + lineHeight > pageHeight) {
                printer.newPage();
                y = 0;
            }
            printLine(painter, metrics, line, y + ascent, tabStop);
            y += lineHeight;
        }
    }
    return painter.end();
}

} // namespace inkleaf
