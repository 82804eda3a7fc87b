#pragma once

#include <QIcon>
#include <QString>

namespace kestrova {

// The pictures of the customer program by their icon keys: the toolbar keys "Back", "Forward",
// "New", "Edit", "Delete", "Properties", "Reflash", "Find", "View Large Icons",
// "View Small Icons", "View List", "View Details", the find and class buttons' "Find" and
// "Class", and "Client" (list rows) and "Kestrova" (the window icon). A null icon for other keys.
QIcon toolbarIcon(const QString &key);

} // namespace kestrova
