#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace kestrova::interchange {

// The line syntax iCalendar and vCard share: "NAME;PARAM=x:value" lines ending in CRLF,
// folded so no physical line exceeds 75 octets of UTF-8.
class ContentLines
{
public:
    // Appends one logical line, folded. `value` is written as it is; escape text first.
    void add(const QString &nameAndParams, const QString &value);
    // Appends a TEXT value, escaped.
    void addText(const QString &nameAndParams, const QString &text);
    QByteArray bytes() const { return m_bytes; }

    static constexpr int kMaxOctets = 75;

private:
    QByteArray m_bytes;
};

// Backslash, semicolon, comma and line breaks escaped as TEXT values need them.
QString escapeText(const QString &text);
// A structured value: each component escaped, joined with ';'.
QString structuredValue(const QStringList &components);
// `line` (UTF-8, no line break) folded into CRLF-separated pieces of at most 75 octets, each
// continuation starting with one blank; a multi-octet character never spans two pieces.
QByteArray foldLine(const QByteArray &line);

} // namespace kestrova::interchange
