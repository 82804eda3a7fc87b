#include "documentprinter.h"

#include "editor/rtf/rtfpagesetup.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>

#include <memory>

namespace pennote {

namespace {

QString cannotStart(const QPrinter &printer)
{
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty())
        return QStringLiteral("无法打印：打印输出文件“%1”无法写入。")
            .arg(QDir::toNativeSeparators(printer.outputFileName()));
    if (printer.printerName().isEmpty())
        return QStringLiteral("无法打印：没有可用的打印机。");
    return QStringLiteral("无法打印：打印机“%1”无法使用。").arg(printer.printerName());
}

QString failedJob(const QPrinter &printer)
{
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty())
        return QStringLiteral("打印出错：打印输出文件“%1”没有写完。")
            .arg(QDir::toNativeSeparators(printer.outputFileName()));
    return QStringLiteral("打印出错：打印机“%1”没有完成打印任务。").arg(printer.printerName());
}

} // namespace

bool usePageSetup(const rtf::PageSetup &setup, QPrinter *printer)
{
    if (!setup.present || !printer)
        return false;
    constexpr qreal pointsPerTwip = 1.0 / 20;
    const QSizeF paper = setup.paperTwips * pointsPerTwip;
    const QMarginsF margins = setup.marginsTwips * pointsPerTwip;
    if (!(paper.width() > 0 && paper.height() > 0) || margins.left() < 0 || margins.top() < 0 ||
        margins.right() < 0 || margins.bottom() < 0)
        return false;
    // The size is named in portrait; the orientation turns it.
    const bool landscape = setup.landscape || paper.width() > paper.height();
    const QPageSize size(
        QSizeF(qMin(paper.width(), paper.height()), qMax(paper.width(), paper.height())),
        QPageSize::Point, QString(), QPageSize::FuzzyMatch);
    const QPageLayout layout(size, landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                             margins, QPageLayout::Point);
    const QRectF text = layout.paintRect(QPageLayout::Point);
    if (!layout.isValid() || text.width() < 1 || text.height() < 1)
        return false;
    return printer->setPageLayout(layout);
}

QString printDocument(const QTextDocument &document, QPrinter *printer, int from, int to)
{
    if (!printer || !printer->isValid())
        return printer ? cannotStart(*printer) : QStringLiteral("无法打印：没有可用的打印机。");

    // The document is laid out again for the printer's resolution; the editor keeps its own.
    std::unique_ptr<QTextDocument> copy(document.clone());
    if (from > 0 || to >= 0) {
        // Only the selection: cut away what lies after it, then what lies before it, so the
        // formats of the kept part stay as they are.
        QTextCursor cut(copy.get());
        const int end = copy->characterCount() - 1;
        if (to >= 0 && to < end) {
            cut.setPosition(to);
            cut.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
            cut.removeSelectedText();
        }
        if (from > 0) {
            cut.setPosition(0);
            cut.setPosition(qMin(from, copy->characterCount() - 1), QTextCursor::KeepAnchor);
            cut.removeSelectedText();
        }
    }
    QPainter painter;
    if (!painter.begin(printer))
        return cannotStart(*printer);

    QAbstractTextDocumentLayout *layout = copy->documentLayout();
    layout->setPaintDevice(printer);
    // The page's text area is the printable area less a 2 cm margin on every side, in the
    // printer's own pixels; a document with its own page setup brought its margins into the
    // printer's page layout instead. The frame adds no margin of its own.
    const qreal cm = rtf::pageSetup(document).present ? 0 : 2.0;
    const qreal marginX = cm / 2.54 * printer->logicalDpiX();
    const qreal marginY = cm / 2.54 * printer->logicalDpiY();
    QTextFrameFormat frame = copy->rootFrame()->frameFormat();
    frame.setMargin(0);
    copy->rootFrame()->setFrameFormat(frame);
    const QSizeF body(qMax(printer->width() - 2 * marginX, 1.0),
                      qMax(printer->height() - 2 * marginY, 1.0));
    copy->setPageSize(body);

    QAbstractTextDocumentLayout::PaintContext context;
    // Paper is white whatever the screen's colour scheme says.
    context.palette.setColor(QPalette::Text, Qt::black);
    const int pages = copy->pageCount();
    for (int page = 0; page < pages; ++page) {
        if (page > 0 && !printer->newPage()) {
            painter.end();
            return failedJob(*printer);
        }
        const QRectF view(0, page * body.height(), body.width(), body.height());
        painter.save();
        painter.translate(marginX, marginY - view.top());
        painter.setClipRect(view);
        // The layout draws every paragraph that touches the clip; a paragraph that starts right
        // at the page's lower edge belongs to the next page only.
        context.clip = view.adjusted(0, 0.5, 0, -0.5);
        layout->draw(&painter, context);
        painter.restore();
    }
    if (!painter.end() || printer->printerState() == QPrinter::Error)
        return failedJob(*printer);
    return {};
}

} // namespace pennote
