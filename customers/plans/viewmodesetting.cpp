#include "viewmodesetting.h"

#include <QSettings>
#include <QString>

namespace kestrova::plans {

namespace {

constexpr char16_t kApplication[] = u"Kestrova";
constexpr char16_t kKey[] = u"Settings/ViewMode";

QSettings programSettings()
{
    return QSettings(QString::fromUtf16(kApplication), QString::fromUtf16(kApplication));
}

// The leading whole number of a text ("3abc" is 3, " -1" is -1); 0 when there is none.
long long leadingNumber(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        negative = text[i++] == u'-';
    long long value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        if (value < 1'000'000'000LL)
            value = value * 10 + (text[i].unicode() - u'0');
    }
    return negative ? -value : value;
}

} // namespace

int readViewMode()
{
    const QString text =
        programSettings().value(QString::fromUtf16(kKey), QStringLiteral("0")).toString();
    const long long mode = leadingNumber(text);
    return mode >= 0 && mode <= 3 ? static_cast<int>(mode) : 0;
}

void saveViewMode(int mode)
{
    QSettings settings = programSettings();
    settings.setValue(QString::fromUtf16(kKey), QString::number(mode));
}

} // namespace kestrova::plans
