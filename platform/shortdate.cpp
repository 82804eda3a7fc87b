#include "shortdate.h"

namespace platform {

namespace {

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Reads up to `maxDigits` ASCII digits at `pos`, advancing it; -1 when there are fewer than
// `minDigits`. A further digit is left for the caller, which expects a separator or the end.
int readNumber(QStringView text, qsizetype &pos, int minDigits, int maxDigits)
{
    int value = 0;
    int digits = 0;
    while (pos < text.size() && isAsciiDigit(text.at(pos)) && digits < maxDigits) {
        value = value * 10 + (text.at(pos).unicode() - u'0');
        ++digits;
        ++pos;
    }
    return digits >= minDigits ? value : -1;
}

QString twoDigits(int value)
{
    return QString::number(value).rightJustified(2, u'0');
}

} // namespace

QString shortDate(QDate date)
{
    if (!date.isValid() || date.year() < 1 || date.year() > 9999)
        return {};
    return QString::number(date.year()).rightJustified(4, u'0') + u'-' +
           QString::number(date.month()) + u'-' + QString::number(date.day());
}

QDate parseShortDate(QStringView text)
{
    const QStringView date = text.trimmed();
    qsizetype pos = 0;
    const int year = readNumber(date, pos, 4, 4);
    if (year < 0 || pos >= date.size())
        return {};
    const QChar separator = date.at(pos);
    if (separator != u'-' && separator != u'/')
        return {};
    ++pos;
    const int month = readNumber(date, pos, 1, 2);
    if (month < 0 || pos >= date.size() || date.at(pos) != separator)
        return {};
    ++pos;
    const int day = readNumber(date, pos, 1, 2);
    if (day < 0 || pos != date.size())
        return {};
    // QDate refuses month 13, February 29 of common years and year 0 itself.
    return QDate(year, month, day);
}

QString shortDateTime(const QDateTime &dateTime)
{
    const QString date = dateTime.isValid() ? shortDate(dateTime.date()) : QString();
    if (date.isEmpty())
        return {};
    const QTime time = dateTime.time();
    return date + u' ' + QString::number(time.hour()) + u':' + twoDigits(time.minute()) + u':' +
           twoDigits(time.second());
}

} // namespace platform
