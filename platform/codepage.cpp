#include "codepage.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <array>
#include <memory>

namespace platform {

namespace {

// The GBK bytes of every UTF-16 code unit that is no surrogate, taken once from ICU's GBK
// converter: encoding a 10 MB page through the table is over ten times faster than through
// the converter, and gives the same bytes. An entry holds its byte count in the top byte and
// the bytes, first byte highest, below; a unit GBK drops has count 0.
class AnsiTable
{
public:
    AnsiTable()
    {
        QString units;
        units.reserve(2 * 0x10000);
        for (char32_t u = 0x80; u <= 0xFFFF; ++u) {
            if (QChar::isSurrogate(u))
                continue;
            units += QChar(char16_t(u));
            // No GBK byte sequence contains a line feed, so it separates the units' bytes.
            units += u'\n';
        }
        const QByteArray bytes = icuEncode(units);
        qsizetype pos = 0;
        for (char32_t u = 0x80; u <= 0xFFFF; ++u) {
            if (QChar::isSurrogate(u))
                continue;
            const qsizetype end = bytes.indexOf('\n', pos);
            if (end < 0 || end - pos > 2)
                return; // not the converter we know: leave every conversion to it
            quint32 entry = quint32(end - pos) << 24;
            for (qsizetype i = pos; i < end; ++i)
                entry |= quint32(quint8(bytes[i])) << (8 * (end - 1 - i));
            m_entries[u] = entry;
            pos = end + 1;
        }
        m_valid = pos == bytes.size();
    }

    bool isValid() const { return m_valid; }

    QByteArray encode(QStringView text) const
    {
        QByteArray out(2 * text.size(), Qt::Uninitialized);
        char *p = out.data();
        const char16_t *units = text.utf16();
        const qsizetype size = text.size();
        for (qsizetype i = 0; i < size; ++i) {
            const char16_t u = units[i];
            if (u < 0x80) {
                *p++ = char(u);
            } else if (QChar::isSurrogate(u)) {
                // GBK holds nothing outside the basic plane: a pair, or a unit without its
                // partner, becomes one "?".
                if (QChar::isHighSurrogate(u) && i + 1 < size &&
                    QChar::isLowSurrogate(units[i + 1]))
                    ++i;
                *p++ = '?';
            } else {
                const quint32 entry = m_entries[u];
                const int count = int(entry >> 24);
                if (count == 2)
                    *p++ = char(entry >> 8);
                if (count >= 1)
                    *p++ = char(entry);
            }
        }
        out.truncate(p - out.data());
        return out;
    }

    static QByteArray icuEncode(QStringView text)
    {
        // ICU's GBK converter substitutes "?" for unmappable characters, which is what we want.
        QStringEncoder encoder("GBK", QStringConverter::Flag::Stateless);
        Q_ASSERT(encoder.isValid());
        return encoder.encode(text);
    }

private:
    std::array<quint32, 0x10000> m_entries{};
    bool m_valid = false;
};

const AnsiTable &ansiTable()
{
    static const std::unique_ptr<const AnsiTable> table = std::make_unique<const AnsiTable>();
    return *table;
}

} // namespace

QByteArray toAnsi(QStringView text)
{
    const AnsiTable &table = ansiTable();
    return table.isValid() ? table.encode(text) : AnsiTable::icuEncode(text);
}

QString fromAnsi(QByteArrayView bytes)
{
    QStringDecoder decoder("GBK", QStringConverter::Flag::Stateless);
    Q_ASSERT(decoder.isValid());
    return decoder.decode(bytes);
}

} // namespace platform
