#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace demo {

// The raw bytes of the parameter `key` in the query of a request target ("/path?a=1&key=v"),
// exactly as they were sent: everything after "key=" up to the next literal "&" or the end of
// the target. The parameter name is compared without regard to ASCII case, as the old ASP pages
// did. Empty when the target has no such parameter.
QByteArray rawQueryValue(QByteArrayView target, QByteArrayView key);

// Replaces every "%XX" (two hex digits) by the byte it names. A "%" that is not followed by two
// hex digits stays as it is, and "+" stays "+" (the lookup client encodes blanks as "%20").
QByteArray percentDecode(QByteArrayView raw);

// Percent-encodes bytes the way the lookup client sends a keyword: every byte that is not an
// unreserved ASCII character (letters, digits, "-", ".", "_", "~") becomes "%XX" in upper case.
QByteArray percentEncode(QByteArrayView bytes);

// The search keyword of a request target: the raw "keyword" value, percent-decoded to GBK bytes
// and decoded from GBK.
QString searchKeyword(QByteArrayView target);

// The query value that carries `keyword` to the site: GBK bytes, percent-encoded.
QByteArray encodeKeyword(QStringView keyword);

} // namespace demo
