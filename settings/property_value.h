// Reading and writing one property of a component as the ini persistence stores it: an integer
// for ordinal values, a float, a string, or an object whose published properties are streamed.
#pragma once

#include <QMetaProperty>
#include <QObject>
#include <QString>

#include <optional>

namespace settings {

// How a property's value is kept in the file; None means the property is not saved.
enum class TValueKind { None, Ordinal, Float, String, Object };

// The kind of a property from its type: integers up to 32 bits, characters, Booleans,
// enumerations and sets are ordinal; float and double are Float; QString is String; pointers to
// QObjects are Object; everything else (64-bit integers, methods, variants, ...) is None.
TValueKind ValueKindOf(const QMetaProperty &property);

// The property of that name that can be saved: a published property of a Kestrim class
// (compared case-insensitively), else any readable and writable Qt property of exactly that name,
// so that the properties of Qt's own widgets can be registered too.
std::optional<QMetaProperty> FindSaveableProperty(const QObject &object, const QString &name);

// The ordinal value as a 32-bit integer (sets give their bits, Booleans 0 or 1).
int ReadOrdinal(const QObject &object, const QMetaProperty &property);
// Sets an ordinal property from an integer; false when the property refused it.
bool WriteOrdinal(QObject &object, const QMetaProperty &property, int value);

} // namespace settings
