#pragma once

#include <QIcon>
#include <QString>

#include <functional>

namespace kestrova::plans {

// Where the plan window takes its toolbar pictures from, by icon key ("New", "Edit", "Delete",
// "Properties", "Reflash", "View", "View Large Icons", "View Small Icons", "View List",
// "View Details"). The program hands in its own picture set, so the plan window's toolbar looks
// like the client window's; without one, or for a key it leaves null, the platform style's
// standard pictures stand in.
using IconProvider = std::function<QIcon(const QString &key)>;
void setIconProvider(IconProvider provider);

QIcon toolbarIcon(const QString &key);

} // namespace kestrova::plans
