#include "passwordfile.h"

#include "platform/codepage.h"

#include <QFile>
#include <QSaveFile>

namespace kestrova {

namespace {

bool isLineBreak(QChar c)
{
    return c == u'\r' || c == u'\n';
}

// Steps over the delimiter at `i` (a comma, CR, LF or CRLF).
qsizetype skipDelimiter(QStringView text, qsizetype i)
{
    if (i >= text.size())
        return i;
    if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
        return i + 2;
    return i + 1;
}

} // namespace

QStringList passwordFields(QStringView text)
{
    QStringList fields;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        while (i < n && (text[i] == u' ' || text[i] == u'\t'))
            ++i;
        if (i >= n)
            break; // blanks at the very end form no field
        QString field;
        if (text[i] == u'"') {
            ++i;
            while (i < n) {
                if (text[i] == u'"') {
                    if (i + 1 < n && text[i + 1] == u'"') {
                        field.append(u'"');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field.append(text[i++]);
            }
            // Whatever follows the closing quote up to the delimiter is not part of the field.
            while (i < n && text[i] != u',' && !isLineBreak(text[i]))
                ++i;
        } else {
            const qsizetype start = i;
            while (i < n && text[i] != u',' && !isLineBreak(text[i]))
                ++i;
            field = text.mid(start, i - start).toString();
        }
        fields.append(field);
        i = skipDelimiter(text, i);
    }
    return fields;
}

std::optional<QStringList> readPasswordFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return passwordFields(platform::fromAnsi(bytes));
}

QByteArray passwordFileContents(const QString &password)
{
    QString quoted = password;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return platform::toAnsi(QString(u'"' + quoted + u'"')) + QByteArrayLiteral("\r\n");
}

bool passwordFitsCodePage(const QString &password)
{
    return platform::fromAnsi(platform::toAnsi(password)) == password;
}

bool writePasswordFile(const QString &path, const QString &password, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(passwordFileContents(password)) < 0 ||
        !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace kestrova
