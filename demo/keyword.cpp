#include "keyword.h"

#include "platform/codepage.h"

namespace demo {

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool isUnreserved(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

} // namespace

QByteArray rawQueryValue(QByteArrayView target, QByteArrayView key)
{
    const qsizetype question = target.indexOf('?');
    if (question < 0)
        return {};
    QByteArrayView query = target.sliced(question + 1);
    while (!query.isEmpty()) {
        const qsizetype amp = query.indexOf('&');
        const QByteArrayView param = amp < 0 ? query : query.first(amp);
        const qsizetype equals = param.indexOf('=');
        const QByteArrayView name = equals < 0 ? param : param.first(equals);
        if (name.compare(key, Qt::CaseInsensitive) == 0)
            return equals < 0 ? QByteArray() : param.sliced(equals + 1).toByteArray();
        if (amp < 0)
            break;
        query = query.sliced(amp + 1);
    }
    return {};
}

QByteArray percentDecode(QByteArrayView raw)
{
    QByteArray bytes;
    bytes.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw[i] == '%' && i + 2 < raw.size()) {
            const int high = hexValue(raw[i + 1]);
            const int low = hexValue(raw[i + 2]);
            if (high >= 0 && low >= 0) {
                bytes.append(char(high * 16 + low));
                i += 2;
                continue;
            }
        }
        bytes.append(raw[i]);
    }
    return bytes;
}

QByteArray percentEncode(QByteArrayView bytes)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    QByteArray encoded;
    encoded.reserve(bytes.size() * 3);
    for (const char c : bytes) {
        if (isUnreserved(c)) {
            encoded.append(c);
        } else {
            const auto byte = static_cast<unsigned char>(c);
            encoded.append('%');
            encoded.append(digits[byte >> 4]);
            encoded.append(digits[byte & 0x0F]);
        }
    }
    return encoded;
}

QString searchKeyword(QByteArrayView target)
{
    return platform::fromAnsi(percentDecode(rawQueryValue(target, "keyword")));
}

QByteArray encodeKeyword(QStringView keyword)
{
    return percentEncode(platform::toAnsi(keyword));
}

} // namespace demo
