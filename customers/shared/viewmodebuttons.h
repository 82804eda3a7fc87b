#pragma once

#include <QActionGroup>

#include <functional>

namespace kestrova {

// The four view-mode keys of a list window's toolbar, "大图标", "小图标", "列表" and "详细资料":
// checkable, one checked at a time, each carrying its list view mode (0 to 3) as data.
class ViewModeButtons : public QActionGroup
{
    Q_OBJECT

public:
    // Makes one toolbar key from its key, tool tip and icon key.
    using AddButton = std::function<QAction *(const QString &key, const QString &toolTip,
                                              const QString &iconKey)>;

    ViewModeButtons(const AddButton &addButton, QObject *parent);

    // Checks the key of a mode; other modes leave the keys as they are.
    void showMode(int mode);
};

} // namespace kestrova
