#pragma once

#include "sourcetable.h"

#include <QByteArray>
#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace kestrova::interchange {

enum class TextEncoding { Utf8, Gbk };

struct CsvWriteOptions
{
    TextEncoding encoding = TextEncoding::Utf8;
    // Excel and WPS take a file without it for the ANSI code page.
    bool byteOrderMark = true;
};

// RFC 4180: CRLF after every record, a field quoted when it holds the separator, a quote or a
// line break, quotes inside doubled. GBK writes "?" for characters it cannot hold.
QByteArray writeCsv(const QStringList &header, const QList<QStringList> &rows,
                    const CsvWriteOptions &options = {});

// Choices the reader makes by itself unless they are given.
struct CsvReadOptions
{
    std::optional<TextEncoding> encoding;
    std::optional<QChar> separator;
    std::optional<bool> header;
};

struct CsvReadResult
{
    QString error; // empty on success
    TextEncoding encoding = TextEncoding::Utf8;
    QChar separator = u',';
    bool header = true;
    SourceTable table;
};

// Reads a spreadsheet's CSV: UTF-8 with or without BOM, else GBK; the separator among
// , ; tab |; a header row when the first row names known columns or reads like names over
// data. Without a header the columns are named "列1", "列2", ….
CsvReadResult readCsv(const QByteArray &bytes, const CsvReadOptions &options = {});

} // namespace kestrova::interchange
