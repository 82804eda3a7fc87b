#pragma once

#include <QByteArray>
#include <QString>
#include <QStringDecoder>

#include <map>
#include <memory>

namespace rtf {

// The Windows code page a font's \fcharset stands for; 0 when the charset names none
// (1 "default" and unknown values), so the document's \ansicpg applies.
int codePageForCharset(int charset);

// Decoders of Windows code pages, created on first use. Bytes of code pages the system does not
// know are read as Windows-1252; the Symbol code page maps its bullet and reads the rest as
// Latin-1.
class CodePageDecoders
{
public:
    QString decode(int codePage, QByteArrayView bytes);

private:
    QStringDecoder *decoder(int codePage);

    std::map<int, std::unique_ptr<QStringDecoder>> m_decoders;
};

} // namespace rtf
