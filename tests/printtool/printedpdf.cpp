#include "printedpdf.h"

#include <QProcess>
#include <QXmlStreamReader>

#include <algorithm>
#include <cmath>

QStringList PrintedPdf::texts() const
{
    QStringList result;
    for (const PrintedLine &line : lines)
        result << line.text;
    return result;
}

PrintedPdf readPrintedPdf(const QString &path)
{
    PrintedPdf pdf;
    QProcess tool;
    tool.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")});
    if (!tool.waitForFinished(120000) || tool.exitStatus() != QProcess::NormalExit ||
        tool.exitCode() != 0) {
        pdf.error =
            QStringLiteral("pdftotext (poppler-utils) failed on %1: %2 %3")
                .arg(path, tool.errorString(), QString::fromLocal8Bit(tool.readAllStandardError()));
        return pdf;
    }

    QXmlStreamReader xml(tool.readAllStandardOutput());
    QList<PrintedLine> pageWords;
    auto flushPage = [&pdf, &pageWords] {
        // Words of one printed line share their top edge; order lines top to bottom and words
        // left to right.
        std::stable_sort(pageWords.begin(), pageWords.end(),
                         [](const PrintedLine &a, const PrintedLine &b) {
                             if (std::abs(a.top - b.top) > 0.05)
                                 return a.top < b.top;
                             return a.left < b.left;
                         });
        for (const PrintedLine &word : pageWords) {
            if (!pdf.lines.isEmpty() && pdf.lines.last().page == word.page &&
                std::abs(pdf.lines.last().top - word.top) <= 0.05) {
                pdf.lines.last().text += u' ' + word.text;
                pdf.lines.last().bottom = std::max(pdf.lines.last().bottom, word.bottom);
            } else {
                pdf.lines << word;
            }
        }
        pageWords.clear();
    };
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::StartElement && xml.name() == u"page") {
            ++pdf.pages;
            pdf.pageHeight = xml.attributes().value(QLatin1StringView("height")).toDouble();
        } else if (token == QXmlStreamReader::EndElement && xml.name() == u"page") {
            flushPage();
        } else if (token == QXmlStreamReader::StartElement && xml.name() == u"word") {
            PrintedLine word;
            word.page = pdf.pages;
            word.top = xml.attributes().value(QLatin1StringView("yMin")).toDouble();
            word.bottom = xml.attributes().value(QLatin1StringView("yMax")).toDouble();
            word.left = xml.attributes().value(QLatin1StringView("xMin")).toDouble();
            word.text = xml.readElementText();
            pdf.wordLefts.insert(word.text, word.left);
            pageWords << word;
        }
    }
    if (xml.hasError())
        pdf.error = QStringLiteral("pdftotext output unreadable: ") + xml.errorString();
    return pdf;
}
