// Conversion of values between the engine (UTF-8 text) and the windows (code page 932 text).
#include "db/variant.h"

#include "classlib/cp932.h"
#include "localdb/functions/number_text.h"

#include <cstring>

namespace db {

namespace {
// Plain ASCII is the same in both encodings; most database text is, and skipping the converter
// for it keeps a million-row fetch fast.
bool IsAscii(const std::string &text)
{
    // Eight bytes at a time: any byte with its top bit set ends it.
    const char *p = text.data();
    std::size_t n = text.size();
    for (; n >= 8; p += 8, n -= 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        if (word & 0x8080808080808080ull) return false;
    }
    for (; n > 0; ++p, --n) {
        if (static_cast<unsigned char>(*p) >= 0x80) return false;
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

void AssignFromEngineValue(Variant &target, const localdb::Value &value)
{
    switch (value.index()) {
    case 1: target.emplace<std::int64_t>(std::get<std::int64_t>(value)); return;
    case 2: target.emplace<double>(std::get<double>(value)); return;
    case 3: {
        const auto &text = std::get<std::string>(value);
        auto *buffer = std::get_if<std::string>(&target);
        if (!buffer) buffer = &target.emplace<std::string>();
        if (IsAscii(text))
            buffer->assign(text);
        else
            *buffer = cp932::Utf8ToCp932(text);
        return;
    }
    case 4: target.emplace<DateTime>(std::get<localdb::DateTime>(value)); return;
    case 5: target.emplace<Bytes>(std::get<localdb::Bytes>(value)); return;
    default: target.emplace<std::monostate>(); return;
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

std::string BinaryNumberText(double value, bool single)
{
    return localdb::functions::binaryNumberText(value, single);
}

} // namespace db
