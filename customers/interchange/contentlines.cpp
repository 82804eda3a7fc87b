#include "contentlines.h"

namespace kestrova::interchange {

QString escapeText(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        switch (c.unicode()) {
        case u'\\':
            out += u"\\\\";
            break;
        case u';':
            out += u"\\;";
            break;
        case u',':
            out += u"\\,";
            break;
        case u'\r':
            if (i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
            out += u"\\n";
            break;
        case u'\n':
            out += u"\\n";
            break;
        default:
            out += c;
        }
    }
    return out;
}

QString structuredValue(const QStringList &components)
{
    QStringList escaped;
    escaped.reserve(components.size());
    for (const QString &component : components)
        escaped.append(escapeText(component));
    return escaped.join(u';');
}

QByteArray foldLine(const QByteArray &line)
{
    QByteArray out;
    out.reserve(line.size() + line.size() / 70 * 3 + 2);
    qsizetype start = 0;
    int limit = ContentLines::kMaxOctets;
    while (line.size() - start > limit) {
        qsizetype cut = start + limit;
        // Back up to the first octet of a character: continuation octets are 10xxxxxx.
        while (cut > start && (static_cast<unsigned char>(line.at(cut)) & 0xC0) == 0x80)
            --cut;
        if (cut == start) // malformed run of continuation octets: cut anyway
            cut = start + limit;
        out += line.mid(start, cut - start);
        out += "\r\n ";
        start = cut;
        limit = ContentLines::kMaxOctets - 1; // the leading blank counts
    }
    out += line.mid(start);
    return out;
}

void ContentLines::add(const QString &nameAndParams, const QString &value)
{
    m_bytes += foldLine((nameAndParams + u':' + value).toUtf8());
    m_bytes += "\r\n";
}

void ContentLines::addText(const QString &nameAndParams, const QString &text)
{
    add(nameAndParams, escapeText(text));
}

} // namespace kestrova::interchange
