#pragma once

#include <QLabel>
#include <QPixmap>
#include <QString>

namespace lookup {

// A picture that acts as a button. Frame buttons show nothing at rest (the painted skin
// beneath shows), a hover picture on the first move over them ("1" in Tag), a pressed picture
// while any mouse button is down, and rest again on release. A click is a left press released
// over the button.
class ImageButton : public QLabel
{
    Q_OBJECT
    Q_PROPERTY(QString Tag READ tag WRITE setTag)
public:
    explicit ImageButton(QWidget *parent = nullptr);

    void setPictures(const QPixmap &rest, const QPixmap &hover = {}, const QPixmap &pressed = {});

    QString tag() const { return m_tag; }
    void setTag(const QString &tag) { m_tag = tag; }

    // The pointer left for the bare window surface: drop the hover look.
    void clearHover();

Q_SIGNALS:
    void clicked();

protected:
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void showPicture(const QPixmap &picture);

    QPixmap m_rest;
    QPixmap m_hover;
    QPixmap m_pressed;
    QString m_tag;
    bool m_leftDown = false;
};

} // namespace lookup
