#include "settings.h"

#include <QSettings>

namespace kestrova {

namespace {

constexpr char16_t kApplication[] = u"Kestrova";
constexpr char16_t kSection[] = u"Settings";

QString settingPath(const QString &key)
{
    return QString::fromUtf16(kSection) + u'/' + key;
}

} // namespace

QString GetSetting(const QString &key, const QString &defaultValue)
{
    const QSettings settings(QString::fromUtf16(kApplication), QString::fromUtf16(kApplication));
    return settings.value(settingPath(key), defaultValue).toString();
}

void SaveSetting(const QString &key, const QString &value)
{
    QSettings settings(QString::fromUtf16(kApplication), QString::fromUtf16(kApplication));
    settings.setValue(settingPath(key), value);
}

long long leadingNumber(QStringView text, bool *ok)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    const qsizetype digitsStart = i;
    long long value = 0;
    while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') {
        if (value < 1'000'000'000'000LL)
            value = value * 10 + (text[i].unicode() - u'0');
        ++i;
    }
    if (ok)
        *ok = i > digitsStart;
    return negative ? -value : value;
}

int ViewModeSetting()
{
    const long long mode =
        leadingNumber(GetSetting(QString::fromUtf16(kViewMode), QStringLiteral("0")));
    return mode >= 0 && mode <= 3 ? static_cast<int>(mode) : 0;
}

void SaveViewModeSetting(int mode)
{
    SaveSetting(QString::fromUtf16(kViewMode), QString::number(mode));
}

} // namespace kestrova
