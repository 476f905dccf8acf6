// Conversion of values between the engine (UTF-8 text) and the windows (code page 932 text).
#include "db/variant.h"

#include "classlib/cp932.h"

namespace db {

Variant FromEngineValue(const localdb::Value &value)
{
    switch (value.index()) {
    case 1: return std::get<std::int64_t>(value);
    case 2: return std::get<double>(value);
    case 3: return cp932::Utf8ToCp932(std::get<std::string>(value));
    case 4: return std::get<localdb::DateTime>(value);
    case 5: return std::get<localdb::Bytes>(value);
    default: return std::monostate{};
    }
}

localdb::Value ToEngineValue(const Variant &value)
{
    switch (value.index()) {
    case 1: return std::get<std::int64_t>(value);
    case 2: return std::get<double>(value);
    case 3: return cp932::Cp932ToUtf8(std::get<std::string>(value));
    case 4: return std::get<DateTime>(value);
    case 5: return std::get<Bytes>(value);
    default: return std::monostate{};
    }
}

} // namespace db
