#pragma once

#include <QIcon>
#include <QString>

namespace kestrova {

// The pictures of the customer program by their icon keys, one set for the client and the plan
// window: the toolbar keys "Back", "Forward", "New", "Edit", "Delete", "Properties", "Reflash",
// "Find", "View Large Icons", "View Small Icons", "View List", "View Details", the class
// button's "Class" and "Kestrova" (the window icon). The plan preview's "View" is the platform
// style's picture. A null icon for other keys.
QIcon toolbarIcon(const QString &key);

// The resource path of the slim arrow (7 by 4 pixels) of the narrow drop-down boxes.
QString comboArrowPicture();

} // namespace kestrova
