#include "directory.h"

#include <QFile>

namespace demo {

namespace {

const QByteArrayView header = "name\tnumber\taddress\tcategory";

} // namespace

bool Directory::parse(QByteArrayView text, QString *error)
{
    auto fail = [error](int line, const QString &what) {
        if (error)
            *error = QStringLiteral("line %1: %2").arg(line).arg(what);
        return false;
    };

    QList<Entry> entries;
    bool sawHeader = false;
    int lineNumber = 0;
    QByteArrayView rest = text;
    while (!rest.isEmpty()) {
        ++lineNumber;
        const qsizetype end = rest.indexOf('\n');
        QByteArrayView line = end < 0 ? rest : rest.first(end);
        rest = end < 0 ? QByteArrayView() : rest.sliced(end + 1);
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.trimmed().isEmpty())
            continue;
        if (!sawHeader) {
            if (line != header)
                return fail(lineNumber, QStringLiteral("the header must be \"name, number, "
                                                       "address, category\" separated by tabs"));
            sawHeader = true;
            continue;
        }
        const QList<QByteArray> fields = line.toByteArray().split('\t');
        if (fields.size() != 4)
            return fail(
                lineNumber,
                QStringLiteral("expected 4 tab-separated columns, found %1").arg(fields.size()));
        Entry entry{QString::fromUtf8(fields[0]).trimmed(), QString::fromUtf8(fields[1]).trimmed(),
                    QString::fromUtf8(fields[2]).trimmed(), QString::fromUtf8(fields[3]).trimmed()};
        if (entry.name.isEmpty() || entry.number.isEmpty())
            return fail(lineNumber, QStringLiteral("an entry needs a name and a number"));
        entries.append(std::move(entry));
    }
    if (!sawHeader)
        return fail(lineNumber + 1, QStringLiteral("the header line is missing"));
    m_entries = std::move(entries);
    return true;
}

bool Directory::load(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    QString parseError;
    if (!parse(file.readAll(), &parseError)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, parseError);
        return false;
    }
    return true;
}

QString Directory::digitsOnly(QStringView number)
{
    QString digits;
    digits.reserve(number.size());
    for (const QChar c : number) {
        if (c != u'-' && !c.isSpace())
            digits.append(c);
    }
    return digits;
}

QList<Entry> Directory::findByNumber(QStringView keyword) const
{
    const QString wanted = digitsOnly(keyword);
    QList<Entry> found;
    if (wanted.isEmpty())
        return found;
    for (const Entry &entry : m_entries) {
        if (digitsOnly(entry.number).contains(wanted))
            found.append(entry);
    }
    return found;
}

QList<Entry> Directory::findByName(QStringView keyword) const
{
    const QStringView wanted = keyword.trimmed();
    QList<Entry> found;
    if (wanted.isEmpty())
        return found;
    for (const Entry &entry : m_entries) {
        if (entry.name.contains(wanted, Qt::CaseInsensitive) ||
            entry.address.contains(wanted, Qt::CaseInsensitive))
            found.append(entry);
    }
    return found;
}

} // namespace demo
