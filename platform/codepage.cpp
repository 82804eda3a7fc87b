#include "codepage.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace platform {

QByteArray toAnsi(QStringView text)
{
    // ICU's GBK converter substitutes "?" for unmappable characters, which is what we want.
    QStringEncoder encoder("GBK", QStringConverter::Flag::Stateless);
    Q_ASSERT(encoder.isValid());
    return encoder.encode(text);
}

QString fromAnsi(QByteArrayView bytes)
{
    QStringDecoder decoder("GBK", QStringConverter::Flag::Stateless);
    Q_ASSERT(decoder.isValid());
    return decoder.decode(bytes);
}

} // namespace platform
