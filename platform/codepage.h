#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// The target systems' ANSI code page is GBK. Characters it cannot hold become "?",
// as the Windows converter does.
QByteArray toAnsi(QStringView text);
QString fromAnsi(QByteArrayView bytes);

} // namespace platform
