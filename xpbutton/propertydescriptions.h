#pragma once

#include <QString>
#include <QStringView>

#include <utility>
#include <vector>

namespace xpbutton {

// The one-line help a form designer's property browser shows for each property of the button,
// in the order the properties are declared.
const std::vector<std::pair<QString, QString>> &propertyDescriptions();

// The help text of one property (names compared without regard to case); empty for a property
// that has none.
QString propertyDescription(QStringView property);

} // namespace xpbutton
