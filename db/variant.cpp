// Conversion of values between the engine (UTF-8 text) and the windows (code page 932 text).
#include "db/variant.h"

#include "classlib/cp932.h"

namespace db {

namespace {
// Plain ASCII is the same in both encodings; most database text is, and skipping the converter
// for it keeps a million-row fetch fast.
bool IsAscii(const std::string &text)
{
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}
} // namespace

Variant FromEngineValue(const localdb::Value &value)
{
    switch (value.index()) {
    case 1: return std::get<std::int64_t>(value);
    case 2: return std::get<double>(value);
    case 3: {
        const auto &text = std::get<std::string>(value);
        return IsAscii(text) ? text : cp932::Utf8ToCp932(text);
    }
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
    case 3: {
        const auto &text = std::get<std::string>(value);
        return IsAscii(text) ? text : cp932::Cp932ToUtf8(text);
    }
    case 4: return std::get<DateTime>(value);
    case 5: return std::get<Bytes>(value);
    default: return std::monostate{};
    }
}

} // namespace db
