#pragma once

#include <QStringList>

#include <optional>

namespace kestrova::interchange {

// The tool's import, export and convert commands. Returns the exit code when `args` (without
// the program name) is one of them; std::nullopt otherwise. For the other commands it first
// offers to convert an Access database found where the database should be; declining ends
// the tool with a non-zero code.
std::optional<int> runInterchangeCommand(const QStringList &args);

} // namespace kestrova::interchange
