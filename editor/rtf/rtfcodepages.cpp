#include "rtfcodepages.h"

namespace rtf {

namespace {

// Code page 42 is what RTF writers use for the Symbol font.
constexpr int symbolCodePage = 42;

const char *codePageName(int codePage)
{
    switch (codePage) {
    case 437:
        return "IBM437";
    case 850:
        return "IBM850";
    case 874:
        return "windows-874";
    case 932:
        return "windows-932";
    case 936:
        return "GBK";
    case 949:
        return "windows-949";
    case 950:
        return "windows-950";
    case 1250:
        return "windows-1250";
    case 1251:
        return "windows-1251";
    case 1252:
        return "windows-1252";
    case 1253:
        return "windows-1253";
    case 1254:
        return "windows-1254";
    case 1255:
        return "windows-1255";
    case 1256:
        return "windows-1256";
    case 1257:
        return "windows-1257";
    case 1258:
        return "windows-1258";
    case 10000:
        return "macintosh";
    case 54936:
        return "GB18030";
    case 65001:
        return "UTF-8";
    default:
        return nullptr;
    }
}

} // namespace

int codePageForCharset(int charset)
{
    switch (charset) {
    case 0:
        return 1252;
    case 2:
        return symbolCodePage;
    case 77:
        return 10000;
    case 128:
        return 932;
    case 129:
        return 949;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 254:
        return 437;
    case 255:
        return 850;
    default:
        return 0;
    }
}

QStringDecoder *CodePageDecoders::decoder(int codePage)
{
    auto it = m_decoders.find(codePage);
    if (it != m_decoders.end()) {
        return it->second.get();
    }
    const char *name = codePageName(codePage);
    auto d = std::make_unique<QStringDecoder>(name ? name : "windows-1252",
                                              QStringConverter::Flag::Stateless);
    if (!d->isValid()) {
        d = std::make_unique<QStringDecoder>("windows-1252", QStringConverter::Flag::Stateless);
    }
    return m_decoders.emplace(codePage, std::move(d)).first->second.get();
}

QString CodePageDecoders::decode(int codePage, QByteArrayView bytes)
{
    bool ascii = true;
    for (const char c : bytes) {
        if (uchar(c) >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii) {
        return QString::fromLatin1(bytes);
    }
    if (codePage == symbolCodePage) {
        QString text = QString::fromLatin1(bytes);
        text.replace(QChar(0xB7), QChar(0x2022));
        return text;
    }
    // A line feed cannot complete any double-byte character, so a lead byte left dangling at the
    // end turns into a replacement character instead of vanishing; the feed is dropped again.
    QByteArray terminated(bytes.constData(), bytes.size());
    terminated.append('\n');
    QString text = decoder(codePage)->decode(terminated);
    if (text.endsWith(u'\n')) {
        text.chop(1);
    }
    return text;
}

} // namespace rtf
