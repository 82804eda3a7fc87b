#include "propertybag.h"

#include "buttonpicture.h"

#include <QBuffer>
#include <QFont>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace xpbutton {

namespace {

bool isNumber(const QVariant &v)
{
    switch (v.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Double:
        return true;
    default:
        return false;
    }
}

QJsonValue fontToJson(const QFont &font)
{
    QJsonObject o;
    o.insert(u"name", font.family());
    o.insert(u"size", font.pointSizeF());
    o.insert(u"bold", font.bold());
    o.insert(u"italic", font.italic());
    o.insert(u"underline", font.underline());
    o.insert(u"strikeout", font.strikeOut());
    return QJsonObject{{QStringLiteral("font"), o}};
}

QJsonValue pictureToJson(const ButtonPicture &picture)
{
    QJsonObject o;
    const char *kind = picture.kind() == ButtonPicture::Kind::Cursor ? "cursor"
                       : picture.kind() == ButtonPicture::Kind::Icon ? "icon"
                                                                     : "bitmap";
    o.insert(u"kind", QString::fromLatin1(kind));
    QByteArray png;
    if (!picture.isNull()) {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        picture.image().save(&buffer, "PNG");
    }
    o.insert(u"png", QString::fromLatin1(png.toBase64()));
    if (picture.kind() == ButtonPicture::Kind::Cursor)
        o.insert(u"hotSpot", QJsonArray{picture.hotSpot().x(), picture.hotSpot().y()});
    return QJsonObject{{QStringLiteral("picture"), o}};
}

QJsonValue valueToJson(const QVariant &v)
{
    if (v.metaType() == QMetaType::fromType<QFont>())
        return fontToJson(v.value<QFont>());
    if (v.metaType() == QMetaType::fromType<ButtonPicture>())
        return pictureToJson(v.value<ButtonPicture>());
    switch (v.metaType().id()) {
    case QMetaType::Bool:
        return v.toBool();
    case QMetaType::QString:
        return v.toString();
    case QMetaType::Double:
        return v.toDouble();
    default:
        if (isNumber(v))
            return double(v.toLongLong());
        return QJsonValue::fromVariant(v);
    }
}

std::optional<QVariant> valueFromJson(const QJsonValue &j, QString *error)
{
    switch (j.type()) {
    case QJsonValue::Bool:
        return QVariant(j.toBool());
    case QJsonValue::String:
        return QVariant(j.toString());
    case QJsonValue::Double: {
        const double d = j.toDouble();
        if (std::floor(d) == d && std::abs(d) < 9.0e15)
            return QVariant(qint64(d));
        return QVariant(d);
    }
    case QJsonValue::Object: {
        const QJsonObject o = j.toObject();
        if (o.contains(u"font")) {
            const QJsonObject f = o.value(u"font").toObject();
            // The name is one family, commas and all (the constructor would split it).
            QFont font;
            font.setFamily(f.value(u"name").toString());
            if (f.value(u"size").toDouble() > 0)
                font.setPointSizeF(f.value(u"size").toDouble());
            font.setBold(f.value(u"bold").toBool());
            font.setItalic(f.value(u"italic").toBool());
            font.setUnderline(f.value(u"underline").toBool());
            font.setStrikeOut(f.value(u"strikeout").toBool());
            return QVariant::fromValue(font);
        }
        if (o.contains(u"picture")) {
            const QJsonObject p = o.value(u"picture").toObject();
            const QString kindText = p.value(u"kind").toString();
            const ButtonPicture::Kind kind = kindText == u"cursor" ? ButtonPicture::Kind::Cursor
                                             : kindText == u"icon" ? ButtonPicture::Kind::Icon
                                                                   : ButtonPicture::Kind::Bitmap;
            const QByteArray png = QByteArray::fromBase64(p.value(u"png").toString().toLatin1());
            QImage image;
            if (!png.isEmpty() && !image.loadFromData(png, "PNG")) {
                if (error)
                    *error = QStringLiteral("a picture does not hold a PNG image");
                return std::nullopt;
            }
            // Only a cursor has a hot spot; one stored with another kind of picture is not read.
            const QJsonArray hot = p.value(u"hotSpot").toArray();
            const QPoint hotSpot = kind == ButtonPicture::Kind::Cursor
                                       ? QPoint(hot.at(0).toInt(), hot.at(1).toInt())
                                       : QPoint();
            return QVariant::fromValue(ButtonPicture(image, kind, hotSpot));
        }
        break;
    }
    default:
        break;
    }
    if (error)
        *error = QStringLiteral("a value of an unknown kind");
    return std::nullopt;
}

} // namespace

bool sameBagValue(const QVariant &a, const QVariant &b)
{
    if (isNumber(a) && isNumber(b)) {
        if (a.metaType().id() == QMetaType::Double || b.metaType().id() == QMetaType::Double)
            return a.toDouble() == b.toDouble();
        return a.toLongLong() == b.toLongLong();
    }
    if (a.metaType() != b.metaType())
        return false;
    if (a.metaType() == QMetaType::fromType<ButtonPicture>())
        return a.value<ButtonPicture>() == b.value<ButtonPicture>();
    return a == b;
}

int PropertyBag::indexOf(QStringView key) const
{
    for (size_t i = 0; i < m_items.size(); ++i) {
        if (QStringView(m_items[i].first).compare(key, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

bool PropertyBag::contains(QStringView key) const
{
    return indexOf(key) >= 0;
}

QStringList PropertyBag::keys() const
{
    QStringList out;
    for (const auto &item : m_items)
        out << item.first;
    return out;
}

QVariant PropertyBag::read(QStringView key, const QVariant &readDefault) const
{
    const int i = indexOf(key);
    return i >= 0 ? m_items[size_t(i)].second : readDefault;
}

void PropertyBag::write(const QString &key, const QVariant &value, const QVariant &writeDefault)
{
    if (writeDefault.isValid() && sameBagValue(value, writeDefault)) {
        remove(key);
        return;
    }
    const int i = indexOf(key);
    if (i >= 0)
        m_items[size_t(i)] = {key, value};
    else
        m_items.emplace_back(key, value);
}

void PropertyBag::remove(QStringView key)
{
    const int i = indexOf(key);
    if (i >= 0)
        m_items.erase(m_items.begin() + i);
}

QByteArray PropertyBag::toJson(QJsonDocument::JsonFormat format) const
{
    QJsonArray items;
    for (const auto &[key, value] : m_items)
        items.append(QJsonObject{{QStringLiteral("name"), key},
                                 {QStringLiteral("value"), valueToJson(value)}});
    return QJsonDocument(QJsonObject{{QStringLiteral("properties"), items}}).toJson(format);
}

std::optional<PropertyBag> PropertyBag::fromJson(const QByteArray &json, QString *error)
{
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parseError);
    if (doc.isNull()) {
        if (error)
            *error = parseError.errorString();
        return std::nullopt;
    }
    if (!doc.isObject() || !doc.object().value(u"properties").isArray()) {
        if (error)
            *error = QStringLiteral("no \"properties\" list");
        return std::nullopt;
    }
    PropertyBag bag;
    for (const QJsonValue &entry : doc.object().value(u"properties").toArray()) {
        const QJsonObject o = entry.toObject();
        const QString name = o.value(u"name").toString();
        if (name.isEmpty() || !o.contains(u"value")) {
            if (error)
                *error = QStringLiteral("an entry without a name or value");
            return std::nullopt;
        }
        const std::optional<QVariant> value = valueFromJson(o.value(u"value"), error);
        if (!value) {
            if (error)
                *error = name + QStringLiteral(": ") + *error;
            return std::nullopt;
        }
        bag.write(name, *value);
    }
    return bag;
}

bool PropertyBag::operator==(const PropertyBag &other) const
{
    if (m_items.size() != other.m_items.size())
        return false;
    for (size_t i = 0; i < m_items.size(); ++i) {
        if (m_items[i].first != other.m_items[i].first ||
            !sameBagValue(m_items[i].second, other.m_items[i].second))
            return false;
    }
    return true;
}

} // namespace xpbutton
