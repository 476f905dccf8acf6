// Integer and float text of the settings files.
#include "settings/number_text.h"

#include <charconv>
#include <cstdint>
#include <limits>

namespace settings {

std::optional<int> ParseInteger(std::string_view text)
{
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    std::int64_t magnitude = 0;
    if (!text.empty() && text.front() == '$') {
        text.remove_prefix(1);
    } else if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
    } else {
        // Decimal; the sign was taken above, so a second one is not a number.
        if (text.empty() || text.front() < '0' || text.front() > '9') return std::nullopt;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude);
        if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
        const std::int64_t value = negative ? -magnitude : magnitude;
        if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
            return std::nullopt;
        return static_cast<int>(value);
    }
    // Hexadecimal: a 32-bit pattern.
    if (text.empty() || text.size() > 8) return std::nullopt;
    std::uint32_t bits = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), bits, 16);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    const auto value = static_cast<std::int32_t>(bits);
    return negative ? static_cast<int>(0u - static_cast<std::uint32_t>(value)) : value;
}

std::optional<double> ParseFloat(std::string_view text)
{
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty() || text.front() == '+') return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::string FormatFloat(double value)
{
    char buffer[64];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return error == std::errc() ? std::string(buffer, end) : std::string("0");
}

} // namespace settings
