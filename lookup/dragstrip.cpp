#include "dragstrip.h"

#include <QMouseEvent>
#include <QWindow>

namespace lookup {

DragStrip::DragStrip(QWidget *parent)
    : QWidget(parent)
{}

void DragStrip::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    if (event->button() != Qt::LeftButton)
        return;
    QWidget *top = window();
    if (QWindow *handle = top->windowHandle(); handle && handle->startSystemMove())
        return;
    m_dragging = true;
    m_grabOffset = event->globalPosition().toPoint() - top->pos();
}

void DragStrip::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
    if (m_dragging && (event->buttons() & Qt::LeftButton))
        window()->move(event->globalPosition().toPoint() - m_grabOffset);
}

void DragStrip::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    if (event->button() == Qt::LeftButton)
        m_dragging = false;
}

} // namespace lookup
