#pragma once

#include <QFrame>

class QLabel;

namespace kestrova {

// The small borderless notice "正在读取数据请稍候......" shown while a child window is built.
class frmLoading : public QFrame
{
    Q_OBJECT

public:
    explicit frmLoading(QWidget *parent = nullptr);

    // Shows the notice centred over `over` (the screen when null) and paints it at once, since
    // the work it announces keeps the event loop waiting.
    void showOver(const QWidget *over);

private:
    QLabel *Label1 = nullptr;
};

} // namespace kestrova
