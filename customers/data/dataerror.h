#pragma once

#include <QString>

#include <stdexcept>

namespace kestrova {

// The one exception of the data layer: failures that reach the caller (a failed commit, a
// malformed criteria text, an operation on a closed cursor, a lost server) are thrown as this.
class DataError : public std::runtime_error
{
public:
    enum Kind {
        General,
        Conflict,       // another user changed the edited row since it was read
        Deleted,        // another user deleted the edited row
        ConnectionLost, // the database server cannot be reached; the next command reconnects
        Authentication, // the server wants a password (or refused the one given)
        ForeignSchema,  // the database holds tables that are not Kestrova's
    };

    explicit DataError(const QString &text, Kind kind = General)
        : std::runtime_error(text.toStdString())
        , m_text(text)
        , m_kind(kind)
    {}

    QString text() const { return m_text; }
    Kind kind() const { return m_kind; }

private:
    QString m_text;
    Kind m_kind = General;
};

// The message a lost or unreachable server gives the user, followed by the server's reason.
inline constexpr char16_t kServerUnreachable[] = u"无法连接数据库服务器";

} // namespace kestrova
