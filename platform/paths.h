#pragma once

#include <QString>

namespace platform {

// The install folder the programs' fixed paths name.
inline constexpr char kInstallFolder[] = "C:\\Program Files\\Dialvane\\";

// Maps a fixed Windows path of the programs to where it lives on this machine.
// On Windows the path is returned as it is. Elsewhere the install folder maps to the folder of
// the running executable, and any other drive path "X:\..." maps below driveRoot(X); each
// component is matched without regard to case against what already exists, since Windows
// paths are case-insensitive. A file that does not exist there but ships with the product
// below "<install folder>/drive_x/" maps to the shipped copy. Relative paths are returned with
// forward slashes.
QString localPath(const QString &windowsPath);

// Where drive X: lives: $XDG_DATA_HOME/dialvane/drive_x (default ~/.local/share/...).
QString driveRoot(QChar driveLetter = u'c');

// The folder of the running executable.
QString installFolder();

} // namespace platform
