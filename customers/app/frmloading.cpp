#include "frmloading.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>

namespace kestrova {

frmLoading::frmLoading(QWidget *parent)
    : QFrame(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , Label1(new QLabel(QStringLiteral("正在读取数据请稍候......"), this))
{
    setObjectName(QStringLiteral("frmLoading"));
    setFrameShape(QFrame::Box);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(24, 16, 24, 16);
    layout->addWidget(Label1);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(255, 255, 225));
    setPalette(pal);
    setAttribute(Qt::WA_ShowWithoutActivating);
    adjustSize();
}

void frmLoading::showOver(const QWidget *over)
{
    QRect area;
    if (over)
        area = QRect(over->mapToGlobal(QPoint(0, 0)), over->size());
    else if (const QScreen *screen = QGuiApplication::primaryScreen())
        area = screen->geometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
    show();
    raise();
    repaint();
}

} // namespace kestrova
