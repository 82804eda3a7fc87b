#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>

namespace demo {

struct Entry
{
    QString name;
    QString number;
    QString address;
    QString category;

    friend bool operator==(const Entry &, const Entry &) = default;
};

// The telephone directory the site answers from, loaded once at start and read-only after that
// (so any number of request threads may search it at the same time).
//
// Its file form is UTF-8 text, one entry a line, four tab-separated columns; the first line is
// the header "name<TAB>number<TAB>address<TAB>category". Blank lines are skipped, CR LF line
// ends are accepted.
class Directory
{
public:
    Directory() = default;
    explicit Directory(QList<Entry> entries)
        : m_entries(std::move(entries))
    {}

    // Replaces the entries by those of `text`. On a malformed text the directory is left as it
    // was, false is returned and `error` (when given) names the line and the fault.
    bool parse(QByteArrayView text, QString *error = nullptr);
    // parse() on the contents of a file (a Qt resource path such as ":/demo/..." works too).
    bool load(const QString &path, QString *error = nullptr);

    const QList<Entry> &entries() const { return m_entries; }

    // Reverse lookup: the entries whose number contains the keyword, both compared with their
    // blanks and dashes removed. A keyword that holds nothing else finds nothing.
    QList<Entry> findByNumber(QStringView keyword) const;
    // Name lookup: the entries whose name or address contains the keyword (without its leading
    // and trailing blanks; ASCII letters match either case). A blank keyword finds nothing.
    QList<Entry> findByName(QStringView keyword) const;

    // The number without blanks and dashes ("0571-8620 1234" -> "057186201234").
    static QString digitsOnly(QStringView number);

private:
    QList<Entry> m_entries;
};

} // namespace demo
