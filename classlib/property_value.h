// Conversion between a published property's value (a QVariant of the property's type) and a
// stream value, following the writing rules: the smallest integer, identifiers for named
// colours, cursors, character sets and enumeration members, sets by member names, short or long
// strings in code page 932 (a wide string when code page 932 cannot hold the text).
#pragma once

#include "classlib/stream_value.h"

#include <QMetaProperty>
#include <QVariant>

#include <optional>

namespace classlib::stream {

// The stream value of a scalar property's value; nullopt for a type the stream does not carry.
std::optional<Value> ValueFromVariant(const QMetaProperty &property, const QVariant &variant);

// The property value for a stream value; throws EReadError naming path when the value does not
// fit the property's type.
QVariant VariantFromValue(const QMetaProperty &property, const Value &value, const QString &path);

// The bytes of a string value (String, LString, or WString converted to code page 932);
// nullopt for other values.
std::optional<std::string> StringBytes(const Value &value);

} // namespace classlib::stream
