// The value type that crosses the database session interface: null, integer, double, text in
// code page 932, date or binary. Windows read field values and bind parameter values as this type
// and turn it into grid or editor text themselves.
#pragma once

#include "localdb/localdb.h"

#include <cstdint>
#include <string>
#include <variant>

namespace db {

using DateTime = localdb::DateTime;
using Bytes = localdb::Bytes;

// Text alternatives hold code page 932 bytes (the engine's UTF-8 never reaches a window).
using Variant = std::variant<std::monostate, std::int64_t, double, std::string, DateTime, Bytes>;

inline bool IsNull(const Variant &v) { return std::holds_alternative<std::monostate>(v); }

// Engine values (UTF-8 text) to window values (code page 932 text), and back.
Variant FromEngineValue(const localdb::Value &value);
localdb::Value ToEngineValue(const Variant &value);
// The same as target = FromEngineValue(value), reusing target's text buffer when both hold text
// (a dynaset converts every value of every record into the same few variants).
void AssignFromEngineValue(Variant &target, const localdb::Value &value);

// A BINARY_FLOAT (single) or BINARY_DOUBLE value as Oracle writes it: 1.0E+001, 3.33333333333333E-001.
std::string BinaryNumberText(double value, bool single);

} // namespace db
