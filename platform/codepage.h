#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace platform {

// The target systems' ANSI code page is GBK. Characters it cannot hold become "?",
// as the Windows converter does.
QByteArray toAnsi(QStringView text);
QString fromAnsi(QByteArrayView bytes);

// The code page's name as a web page declares it.
inline constexpr QStringView kAnsiCharset = u"gbk";

} // namespace platform
