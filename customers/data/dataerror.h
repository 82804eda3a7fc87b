#pragma once

#include <QString>

#include <stdexcept>

namespace kestrova {

// The one exception of the data layer: failures that reach the caller (a failed commit, a
// malformed criteria text, an operation on a closed cursor) are thrown as this.
class DataError : public std::runtime_error
{
public:
    explicit DataError(const QString &text)
        : std::runtime_error(text.toStdString())
        , m_text(text)
    {}

    QString text() const { return m_text; }

private:
    QString m_text;
};

} // namespace kestrova
