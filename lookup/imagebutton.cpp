#include "imagebutton.h"

#include <QMouseEvent>

namespace lookup {

ImageButton::ImageButton(QWidget *parent)
    : QLabel(parent)
{
    setMouseTracking(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void ImageButton::setPictures(const QPixmap &rest, const QPixmap &hover, const QPixmap &pressed)
{
    m_rest = rest;
    m_hover = hover;
    m_pressed = pressed;
    showPicture(m_rest);
}

void ImageButton::showPicture(const QPixmap &picture)
{
    if (picture.isNull())
        clear();
    else
        setPixmap(picture);
}

void ImageButton::clearHover()
{
    if (m_tag.isEmpty())
        return;
    showPicture(m_rest);
    m_tag.clear();
}

void ImageButton::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_hover.isNull() && m_tag.isEmpty()) {
        showPicture(m_hover);
        m_tag = QStringLiteral("1");
    }
    event->accept();
}

void ImageButton::mousePressEvent(QMouseEvent *event)
{
    if (!m_pressed.isNull())
        showPicture(m_pressed);
    if (event->button() == Qt::LeftButton)
        m_leftDown = true;
    event->accept();
}

void ImageButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (!m_hover.isNull() || !m_pressed.isNull()) {
        showPicture(m_rest);
        m_tag.clear();
    }
    const bool click = event->button() == Qt::LeftButton && m_leftDown &&
                       rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        m_leftDown = false;
    event->accept();
    if (click)
        Q_EMIT clicked();
}

} // namespace lookup
