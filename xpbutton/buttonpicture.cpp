#include "buttonpicture.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <utility>

namespace xpbutton {

namespace {

// The hot spot of a cursor file's first image: its directory entry keeps it where an icon keeps
// its planes and bit count.
QPoint cursorHotSpot(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray head = file.read(6 + 16);
    if (head.size() < 22)
        return {};
    auto word = [&head](int at) {
        return int(quint8(head[at])) | (int(quint8(head[at + 1])) << 8);
    };
    return QPoint(word(6 + 4), word(6 + 6));
}

} // namespace

ButtonPicture::ButtonPicture(QImage image, Kind kind, QPoint hotSpot)
    : m_image(std::move(image))
    , m_kind(kind)
    , m_hotSpot(hotSpot)
{}

ButtonPicture ButtonPicture::fromFile(const QString &path)
{
    QImageReader reader(path);
    const QString suffix = QFileInfo(path).suffix().toLower();
    Kind kind = Kind::Bitmap;
    if (suffix == u"ico")
        kind = Kind::Icon;
    else if (suffix == u"cur") {
        kind = Kind::Cursor;
        reader.setFormat("ico"); // a cursor file is an icon file with hot spots
    }
    QImage image = reader.read();
    if (image.isNull())
        return {};
    QPoint hotSpot;
    if (kind == Kind::Cursor)
        hotSpot = cursorHotSpot(path);
    return ButtonPicture(std::move(image), kind, hotSpot);
}

bool ButtonPicture::operator==(const ButtonPicture &other) const
{
    return m_kind == other.m_kind && m_hotSpot == other.m_hotSpot && m_image == other.m_image;
}

} // namespace xpbutton
