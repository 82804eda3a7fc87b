#pragma once

#include <QString>

namespace kestrova {

// The per-user settings of the program: application "Kestrova", section "Settings", every value
// stored as text (the registry on Windows, ~/.config/Kestrova/Kestrova.conf elsewhere).
inline constexpr char16_t kMainLeft[] = u"MainLeft";
inline constexpr char16_t kMainTop[] = u"MainTop";
inline constexpr char16_t kMainWidth[] = u"MainWidth";
inline constexpr char16_t kMainHeight[] = u"MainHeight";
inline constexpr char16_t kViewMode[] = u"ViewMode";

QString GetSetting(const QString &key, const QString &defaultValue);
void SaveSetting(const QString &key, const QString &value);

// The leading whole number of a text, as the program reads numeric settings: blanks, an
// optional sign and digits ("3abc" is 3); 0 when the text does not start with a number.
long long leadingNumber(QStringView text, bool *ok = nullptr);

// The list view mode both list windows share (0 large icons, 1 small icons, 2 list, 3 details);
// "0" when absent, and 0 for a stored number outside 0 to 3.
int ViewModeSetting();
void SaveViewModeSetting(int mode);

} // namespace kestrova
