#pragma once

#include "sourcetable.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace kestrova::interchange {

// An Access database (Jet 3, Jet 4 or ACE) opened read-only through libmdb.
class JetFile
{
public:
    JetFile();
    ~JetFile();
    JetFile(const JetFile &) = delete;
    JetFile &operator=(const JetFile &) = delete;

    // Whether the first bytes are those of a Jet or ACE database.
    static bool looksLikeJet(const QByteArray &head);
    static bool isJetFile(const QString &path);

    // Opens the file; false with a message the user can read when it is no Access database or
    // is damaged. Jet 3 files keep text in an ANSI code page: the one the file names, or
    // `jet3Codec` (an iconv name) when given; a file that names none is read as GBK.
    bool open(const QString &path, QString *error, const QString &jet3Codec = {});
    // "Jet 3", "Jet 4" or "ACE".
    QString version() const;
    // The code page Jet 3 text was read in; empty for later versions (they hold Unicode).
    QString jet3Codec() const { return m_codec; }
    // The user tables, in catalogue order.
    QStringList tables() const;
    // Every row of a table; std::nullopt with a message when it cannot be read.
    std::optional<SourceTable> readTable(const QString &name, QString *error) const;

private:
    struct Handle;
    std::unique_ptr<Handle> m_handle;
    QString m_codec;
};

} // namespace kestrova::interchange
