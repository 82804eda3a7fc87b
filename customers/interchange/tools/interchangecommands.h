#pragma once

#include <QStringList>

#include <optional>

namespace kestrova::interchange {

// The tool's import, export and convert commands register themselves with the tool. This is
// called first with the tool's arguments: when a command's DATABASE is an Access database of
// the old program, it offers to convert it (on a terminal; elsewhere the answer is no).
// std::nullopt lets the command run (on the converted file); otherwise the exit code.
std::optional<int> offerOldDatabase(const QStringList &args);

} // namespace kestrova::interchange
