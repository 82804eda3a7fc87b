#pragma once

#include <QImage>
#include <QMetaType>
#include <QPoint>
#include <QString>

namespace xpbutton {

// A picture object as the button's Picture and MouseIcon properties hold it: a bitmap, or an
// icon/cursor with an alpha channel and (for cursors) a hot spot. A null picture is "Nothing".
class ButtonPicture
{
public:
    enum class Kind { Bitmap, Icon, Cursor };

    ButtonPicture() = default;
    explicit ButtonPicture(QImage image, Kind kind = Kind::Bitmap, QPoint hotSpot = {});

    // Reads a picture file; .ico and .cur files give icons and cursors, anything else a bitmap.
    // A file that cannot be read gives a null picture.
    static ButtonPicture fromFile(const QString &path);

    bool isNull() const { return m_image.isNull(); }
    const QImage &image() const { return m_image; }
    Kind kind() const { return m_kind; }
    bool isIcon() const { return m_kind != Kind::Bitmap; }
    QPoint hotSpot() const { return m_hotSpot; }

    bool operator==(const ButtonPicture &other) const;

private:
    QImage m_image;
    Kind m_kind = Kind::Bitmap;
    QPoint m_hotSpot;
};

} // namespace xpbutton

Q_DECLARE_METATYPE(xpbutton::ButtonPicture)
