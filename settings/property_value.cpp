// Ordinal, float, string and object properties seen through the meta-object.
#include "settings/property_value.h"

#include "classlib/published_properties.h"

#include <QVariant>

#include <cstring>

namespace settings {

namespace {

// Enumerations and sets (QFlags) of any registration kind hold a plain integer of their size;
// they are read and written through those bytes, so no conversion needs registering per type.
bool IsEnumLike(const QMetaProperty &property)
{
    return property.isEnumType() || property.isFlagType() ||
           property.metaType().flags().testFlag(QMetaType::IsEnumeration);
}

bool HasEnumSize(const QMetaType &type)
{
    const qsizetype size = type.sizeOf();
    return size == 1 || size == 2 || size == 4;
}

} // namespace

TValueKind ValueKindOf(const QMetaProperty &property)
{
    if (classlib::IsObjectProperty(property)) return TValueKind::Object;
    if (IsEnumLike(property)) return HasEnumSize(property.metaType()) ? TValueKind::Ordinal : TValueKind::None;
    switch (property.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::QChar:
    case QMetaType::Bool:
        return TValueKind::Ordinal;
    case QMetaType::Double:
    case QMetaType::Float:
        return TValueKind::Float;
    case QMetaType::QString:
        return TValueKind::String;
    default:
        return TValueKind::None;
    }
}

std::optional<QMetaProperty> FindSaveableProperty(const QObject &object, const QString &name)
{
    if (name.isEmpty()) return std::nullopt;
    if (auto published = classlib::FindPublishedProperty(*object.metaObject(), name)) return published;
    const int index = object.metaObject()->indexOfProperty(name.toLatin1().constData());
    if (index < 0) return std::nullopt;
    const QMetaProperty property = object.metaObject()->property(index);
    if (!property.isReadable() || !property.isWritable()) return std::nullopt;
    return property;
}

int ReadOrdinal(const QObject &object, const QMetaProperty &property)
{
    const QVariant value = property.read(&object);
    if (IsEnumLike(property) && HasEnumSize(value.metaType())) {
        switch (value.metaType().sizeOf()) {
        case 1: { qint8 v; std::memcpy(&v, value.constData(), 1); return v; }
        case 2: { qint16 v; std::memcpy(&v, value.constData(), 2); return v; }
        default: { qint32 v; std::memcpy(&v, value.constData(), 4); return v; }
        }
    }
    if (value.metaType().id() == QMetaType::QChar) return value.value<QChar>().unicode();
    return value.toInt();
}

bool WriteOrdinal(QObject &object, const QMetaProperty &property, int value)
{
    const QMetaType type = property.metaType();
    if (IsEnumLike(property) && HasEnumSize(type)) {
        char bytes[4];
        const auto size = static_cast<std::size_t>(type.sizeOf());
        // The low bytes of the value, in the machine's order, as an integer of the type's size.
        const qint8 v8 = static_cast<qint8>(value);
        const qint16 v16 = static_cast<qint16>(value);
        const qint32 v32 = value;
        std::memcpy(bytes, size == 1 ? static_cast<const void *>(&v8)
                           : size == 2 ? static_cast<const void *>(&v16)
                                       : static_cast<const void *>(&v32),
                    size);
        return property.write(&object, QVariant(type, bytes));
    }
    switch (type.id()) {
    case QMetaType::Bool:
        return property.write(&object, QVariant(value != 0));
    case QMetaType::QChar:
        return property.write(&object, QVariant(QChar(static_cast<char16_t>(value))));
    case QMetaType::UInt:
        return property.write(&object, QVariant(static_cast<uint>(value)));
    default: {
        QVariant converted(value);
        if (!converted.convert(type)) return false;
        return property.write(&object, converted);
    }
    }
}

} // namespace settings
