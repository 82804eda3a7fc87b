#include "csvformat.h"

#include "customers/data/columns.h"
#include "platform/codepage.h"
#include "valueparsing.h"

#include <QStringDecoder>

#include <algorithm>

namespace kestrova::interchange {

namespace {

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

QString quoted(const QString &field)
{
    const bool needsQuotes = field.contains(u',') || field.contains(u'"') ||
                             field.contains(u'\n') || field.contains(u'\r');
    if (!needsQuotes)
        return field;
    QString out = field;
    out.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + out + u'"';
}

// Splits decoded text into records of fields. False when a quoted field never ends.
bool splitRecords(const QString &text, QChar separator, QList<QStringList> *records, int *badRecord)
{
    QStringList record;
    QString field;
    bool inQuotes = false;
    bool wasQuoted = false;
    const qsizetype n = text.size();
    auto endField = [&] {
        record.append(field);
        field.clear();
        wasQuoted = false;
    };
    auto endRecord = [&] {
        endField();
        records->append(record);
        record.clear();
    };
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (inQuotes) {
            if (c == u'"') {
                if (i + 1 < n && text.at(i + 1) == u'"') {
                    field += u'"';
                    ++i;
                } else {
                    inQuotes = false;
                }
            } else {
                field += c;
            }
            continue;
        }
        if (c == u'"' && field.isEmpty() && !wasQuoted) {
            inQuotes = true;
            wasQuoted = true;
        } else if (c == separator) {
            endField();
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n')
                ++i;
            endRecord();
        } else {
            field += c;
        }
    }
    if (inQuotes) {
        *badRecord = static_cast<int>(records->size()) + 1;
        return false;
    }
    if (!field.isEmpty() || !record.isEmpty() || wasQuoted)
        endRecord();
    return true;
}

// Counts of each candidate outside quotes on the first lines; the one that splits every line
// into the same number of fields wins, the most fields breaking ties.
QChar detectSeparator(const QString &text)
{
    const QChar candidates[] = {u',', u';', u'\t', u'|'};
    QChar best = u',';
    long bestScore = 0;
    for (QChar candidate : candidates) {
        QList<int> counts;
        int count = 0;
        bool inQuotes = false;
        for (qsizetype i = 0; i < text.size() && counts.size() < 20; ++i) {
            const QChar c = text.at(i);
            if (c == u'"')
                inQuotes = !inQuotes;
            else if (!inQuotes && c == candidate)
                ++count;
            else if (!inQuotes && c == u'\n') {
                counts.append(count);
                count = 0;
            }
        }
        if (count > 0)
            counts.append(count);
        if (counts.isEmpty())
            continue;
        const int first = counts.first();
        const bool consistent =
            std::all_of(counts.begin(), counts.end(), [first](int c) { return c == first; });
        const int least = *std::min_element(counts.begin(), counts.end());
        const long score = consistent ? 100000L + first : least;
        if (first > 0 && score > bestScore) {
            bestScore = score;
            best = candidate;
        }
    }
    return best;
}

bool looksLikeData(const QString &cell)
{
    return parseNumber(cell).has_value() || parseImportDate(cell).isValid();
}

bool detectHeader(const QList<QStringList> &records)
{
    if (records.isEmpty())
        return false;
    const QStringList &first = records.first();
    for (const QString &cell : first) {
        const QString name = cell.trimmed();
        if (clientCaptions().contains(name) || planCaptions().contains(name))
            return true;
    }
    for (const QString &cell : first) {
        if (cell.trimmed().isEmpty() || looksLikeData(cell))
            return false;
    }
    if (records.size() == 1)
        return true;
    // Names over data: some column holds data below a text.
    const QStringList &second = records.at(1);
    for (qsizetype c = 0; c < second.size() && c < first.size(); ++c) {
        if (looksLikeData(second.at(c)))
            return true;
    }
    return false;
}

bool isBinary(const QString &text)
{
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 && u != u'\t' && u != u'\n' && u != u'\r')
            return true;
    }
    return false;
}

} // namespace

QByteArray writeCsv(const QStringList &header, const QList<QStringList> &rows,
                    const CsvWriteOptions &options)
{
    QString text;
    auto appendRecord = [&text](const QStringList &fields) {
        for (qsizetype i = 0; i < fields.size(); ++i) {
            if (i > 0)
                text += u',';
            text += quoted(fields.at(i));
        }
        text += u"\r\n";
    };
    appendRecord(header);
    for (const QStringList &row : rows)
        appendRecord(row);
    if (options.encoding == TextEncoding::Gbk) {
        return platform::toAnsi(text);
    }
    QByteArray bytes = options.byteOrderMark ? QByteArray(kUtf8Bom) : QByteArray();
    bytes += text.toUtf8();
    return bytes;
}

CsvReadResult readCsv(const QByteArray &bytes, const CsvReadOptions &options)
{
    CsvReadResult result;
    if (bytes.contains('\0')) {
        result.error = QStringLiteral("这不是文本文件（含有二进制数据），不能作为 CSV 导入。");
        return result;
    }
    QString text;
    const bool bom = bytes.startsWith(kUtf8Bom);
    const QByteArray body = bom ? bytes.mid(3) : bytes;
    auto decode = [&](TextEncoding encoding, bool *ok) {
        QStringDecoder decoder(encoding == TextEncoding::Utf8 ? "UTF-8" : "GBK",
                               QStringConverter::Flag::Stateless);
        QString decoded = decoder.decode(body);
        *ok = !decoder.hasError();
        return decoded;
    };
    bool ok = false;
    if (options.encoding) {
        result.encoding = *options.encoding;
        text = decode(result.encoding, &ok);
    } else {
        result.encoding = TextEncoding::Utf8;
        text = decode(TextEncoding::Utf8, &ok);
        if (!ok && !bom) {
            result.encoding = TextEncoding::Gbk;
            text = decode(TextEncoding::Gbk, &ok);
        }
    }
    if (!ok || isBinary(text)) {
        result.error = QStringLiteral("这不是 UTF-8 或 GBK 编码的文本文件，不能作为 CSV 导入。");
        return result;
    }
    result.separator = options.separator ? *options.separator : detectSeparator(text);
    QList<QStringList> records;
    int badRecord = 0;
    if (!splitRecords(text, result.separator, &records, &badRecord)) {
        result.error = QStringLiteral("第 %1 行的引号没有结束，文件不完整。").arg(badRecord);
        return result;
    }
    result.header = options.header ? *options.header : detectHeader(records);
    qsizetype columns = 0;
    for (const QStringList &record : records)
        columns = std::max(columns, record.size());
    SourceTable &table = result.table;
    for (qsizetype c = 0; c < columns; ++c) {
        QString name;
        if (result.header && c < records.first().size())
            name = records.first().at(c).trimmed();
        table.headers.append(name.isEmpty() ? QStringLiteral("列%1").arg(c + 1) : name);
        table.kinds.append(SourceKind::Text);
    }
    for (qsizetype r = result.header ? 1 : 0; r < records.size(); ++r) {
        QStringList row = records.at(r);
        while (row.size() < columns)
            row.append(QString());
        table.rows.append(row);
        table.rowNumbers.append(static_cast<int>(r + 1));
    }
    return result;
}

} // namespace kestrova::interchange
