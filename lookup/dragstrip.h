#pragma once

#include <QPoint>
#include <QWidget>

namespace lookup {

// The transparent strip along the top of a borderless window by which the user drags it.
// Only the left button moves the window; the platform's own window move is used where it has
// one, otherwise the strip follows the pointer itself.
class DragStrip : public QWidget
{
    Q_OBJECT
public:
    explicit DragStrip(QWidget *parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool m_dragging = false;
    QPoint m_grabOffset; // pointer position relative to the window's top-left corner
};

} // namespace lookup
