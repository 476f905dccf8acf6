// Value texts.
#include "sql/value_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace worksheet {

namespace {

// n in decimal with at least width digits, zeros in front (a minus sign before them).
// Formatting through printf cost a fifth of a million-row fetch.
void AppendDigits(std::string &text, int n, int width)
{
    char buffer[16];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, n < 0 ? -static_cast<long long>(n) : n);
    if (n < 0)
        text += '-';
    // The width counts the sign, as printf's does.
    for (auto used = (result.ptr - buffer) + (n < 0 ? 1 : 0); used < width; ++used)
        text += '0';
    text.append(buffer, result.ptr);
}

// The shortest general form with up to 15 significant digits, exponent letters upper case.
void AppendGeneral(std::string &text, double value)
{
    char buffer[40];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    for (const char *c = buffer; c != result.ptr; ++c)
        text += static_cast<char>(*c >= 'a' && *c <= 'z' ? *c - 'a' + 'A' : *c);
}

void AppendWhole(std::string &text, double value)
{
    if (!std::isfinite(value))
        return;
    // The default rounding mode rounds halves to the even neighbour; + 0.0 turns -0 into 0.
    const double whole = std::nearbyint(value) + 0.0;
    char buffer[400];
    if (std::fabs(whole) < 9.0e18) {
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<long long>(whole));
        text.append(buffer, result.ptr);
        return;
    }
    std::snprintf(buffer, sizeof buffer, "%.0f", whole);
    text += buffer;
}

} // namespace

void AppendValueText(std::string &text, const db::Variant &value, bool withTime)
{
    switch (value.index()) {
    case 1: text += std::to_string(std::get<std::int64_t>(value)); break;
    case 2: AppendGeneral(text, std::get<double>(value)); break;
    case 3: text += std::get<std::string>(value); break;
    case 4: {
        const auto &d = std::get<db::DateTime>(value);
        AppendDigits(text, d.year, 4);
        text += '/';
        AppendDigits(text, d.month, 2);
        text += '/';
        AppendDigits(text, d.day, 2);
        if (withTime && (d.hour != 0 || d.minute != 0 || d.second != 0)) {
            text += ' ';
            AppendDigits(text, d.hour, 2);
            text += ':';
            AppendDigits(text, d.minute, 2);
            text += ':';
            AppendDigits(text, d.second, 2);
        }
        break;
    }
    case 5: {
        static const char digits[] = "0123456789ABCDEF";
        for (std::uint8_t b : std::get<db::Bytes>(value).data) {
            text += digits[b >> 4];
            text += digits[b & 15];
        }
        break;
    }
    default: break;
    }
}

void AppendWholeNumber(std::string &text, const db::Variant &value)
{
    if (const auto *i = std::get_if<std::int64_t>(&value))
        text += std::to_string(*i);
    else if (const auto *d = std::get_if<double>(&value))
        AppendWhole(text, *d);
    else if (const auto *s = std::get_if<std::string>(&value)) {
        char *end = nullptr;
        const double parsed = std::strtod(s->c_str(), &end);
        if (!s->empty() && end && *end == '\0')
            AppendWhole(text, parsed);
    }
}

std::string GridCellText(int typeCode, const db::Variant &value, bool &hasText)
{
    std::string text;
    hasText = false;
    if (db::IsNull(value))
        return text;
    switch (typeCode) {
    case 3:
        hasText = true;
        AppendWholeNumber(text, value);
        break;
    case 4:
    case 7:
    case 8:
    case 10:
    case 12:
        hasText = true;
        AppendValueText(text, value, true);
        break;
    default: break;
    }
    return text;
}

} // namespace worksheet
