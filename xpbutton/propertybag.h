#pragma once

#include <QByteArray>
#include <QJsonDocument>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>
#include <utility>
#include <vector>

namespace xpbutton {

// The named values a host form keeps for one control between sessions. Keys are matched without
// regard to letter case and keep the order in which they were first written. Values are texts,
// integers, booleans, fonts (QFont) and pictures (ButtonPicture).
//
// The JSON form is an object {"properties": [{"name": ..., "value": ...}, ...]}; fonts are
// {"font": {"name", "size", "bold", "italic", "underline", "strikeout"}}, pictures
// {"picture": {"kind", "png" (base64), "hotSpot"}}, integers and colours plain numbers.
class PropertyBag
{
public:
    PropertyBag() = default;

    bool contains(QStringView key) const;
    int size() const { return int(m_items.size()); }
    bool isEmpty() const { return m_items.empty(); }
    // The keys as they were written, in order.
    QStringList keys() const;

    // The stored value, or readDefault when the key is missing.
    QVariant read(QStringView key, const QVariant &readDefault = {}) const;

    // Stores a value, replacing one stored under the same key in any case. A value equal to
    // writeDefault is not kept (a stored one is removed); an invalid writeDefault means "always
    // write".
    void write(const QString &key, const QVariant &value, const QVariant &writeDefault = {});

    void remove(QStringView key);
    void clear() { m_items.clear(); }

    QByteArray toJson(QJsonDocument::JsonFormat format = QJsonDocument::Indented) const;
    // Reads the JSON form; on failure returns nothing and describes the fault in *error.
    static std::optional<PropertyBag> fromJson(const QByteArray &json, QString *error = nullptr);

    bool operator==(const PropertyBag &other) const;

private:
    int indexOf(QStringView key) const;

    std::vector<std::pair<QString, QVariant>> m_items;
};

// Whether two bag values are the same: numbers compare by value whatever their C++ type.
bool sameBagValue(const QVariant &a, const QVariant &b);

} // namespace xpbutton
