#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace kestrova {

// The login password lives in a plain text file named "5566.jpg" in the working directory, in
// the ANSI code page (GBK).
inline constexpr char16_t kPasswordFileName[] = u"5566.jpg";

// The fields of the file, read the way comma-separated input is read: a field ends at a comma
// or a line break, leading blanks are skipped, and a field enclosed in double quotes keeps its
// commas and blanks ("" inside it is one quote). An empty line is one empty field; an empty
// file has none. The password is the last field.
QStringList passwordFields(QStringView text);

// The fields of the file at `path`; nullopt when it is missing or cannot be read.
std::optional<QStringList> readPasswordFile(const QString &path);

// What the change-password dialog writes: the password quoted (so commas and leading blanks
// survive the reading above), then a line break, in GBK.
QByteArray passwordFileContents(const QString &password);

// Whether GBK can hold every character of the password, so that what is typed at the next
// login still matches what was stored.
bool passwordFitsCodePage(const QString &password);

// Replaces the file atomically. False, with the reason in `error`, when it cannot be written.
bool writePasswordFile(const QString &path, const QString &password, QString *error = nullptr);

} // namespace kestrova
