// Display widths by code point ranges: East Asian wide and fullwidth characters take two
// columns, combining marks and zero-width joiners none, everything else one. The client runs
// in whatever locale the shell has, so it does not rely on the C library's locale tables.
#include "localdb/client/text_width.h"

#include <cstdint>

namespace localdb::client {
namespace {

// Decodes one character at text[i]; advances i. Malformed bytes come back as themselves.
std::uint32_t nextCodePoint(std::string_view text, size_t &i) {
    const auto b0 = static_cast<unsigned char>(text[i]);
    int extra = b0 >= 0xF0 && b0 < 0xF8 ? 3 : b0 >= 0xE0 ? 2 : b0 >= 0xC2 && b0 < 0xE0 ? 1 : 0;
    if (b0 >= 0xF8)
        extra = 0;
    if (extra == 0 || i + extra >= text.size()) {
        ++i;
        return b0;
    }
    std::uint32_t cp = b0 & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
        const auto b = static_cast<unsigned char>(text[i + k]);
        if ((b & 0xC0) != 0x80) {
            ++i;
            return b0;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    i += extra + 1;
    return cp;
}

bool isZeroWidth(std::uint32_t cp) {
    return (cp >= 0x0300 && cp <= 0x036F) || (cp >= 0x200B && cp <= 0x200F) || (cp >= 0xFE00 && cp <= 0xFE0F) ||
           cp == 0x3099 || cp == 0x309A;
}

bool isWide(std::uint32_t cp) {
    return (cp >= 0x1100 && cp <= 0x115F) || (cp >= 0x2E80 && cp <= 0x303E) || (cp >= 0x3041 && cp <= 0x33FF) ||
           (cp >= 0x3400 && cp <= 0x4DBF) || (cp >= 0x4E00 && cp <= 0x9FFF) || (cp >= 0xA000 && cp <= 0xA4CF) ||
           (cp >= 0xAC00 && cp <= 0xD7A3) || (cp >= 0xF900 && cp <= 0xFAFF) || (cp >= 0xFE30 && cp <= 0xFE4F) ||
           (cp >= 0xFF00 && cp <= 0xFF60) || (cp >= 0xFFE0 && cp <= 0xFFE6) || (cp >= 0x1F300 && cp <= 0x1F64F) ||
           (cp >= 0x1F900 && cp <= 0x1F9FF) || (cp >= 0x20000 && cp <= 0x3FFFD);
}

int codePointWidth(std::uint32_t cp) {
    if (isZeroWidth(cp))
        return 0;
    return isWide(cp) ? 2 : 1;
}

}  // namespace

int displayWidth(std::string_view text) {
    int width = 0;
    for (size_t i = 0; i < text.size();)
        width += codePointWidth(nextCodePoint(text, i));
    return width;
}

std::string_view leadingColumns(std::string_view text, int width) {
    int used = 0;
    size_t i = 0;
    while (i < text.size()) {
        size_t next = i;
        const int w = codePointWidth(nextCodePoint(text, next));
        if (used + w > width)
            break;
        used += w;
        i = next;
    }
    return text.substr(0, i);
}

std::string padRight(std::string_view text, int width) {
    std::string out(text);
    const int w = displayWidth(text);
    if (w < width)
        out.append(static_cast<size_t>(width - w), ' ');
    return out;
}

std::string padLeft(std::string_view text, int width) {
    const int w = displayWidth(text);
    std::string out(w < width ? static_cast<size_t>(width - w) : 0, ' ');
    out += text;
    return out;
}

std::vector<std::string> wrapToWidth(std::string_view text, int width) {
    std::vector<std::string> pieces;
    if (width < 1)
        width = 1;
    size_t start = 0;
    while (true) {
        const size_t lineEnd = text.find('\n', start);
        std::string_view line = text.substr(start, lineEnd == std::string_view::npos ? std::string_view::npos
                                                                                     : lineEnd - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        do {
            std::string_view piece = leadingColumns(line, width);
            if (piece.empty() && !line.empty()) {
                // A wide character in a one-column field: take it whole rather than loop.
                size_t n = 0;
                nextCodePoint(line, n);
                piece = line.substr(0, n);
            }
            pieces.emplace_back(piece);
            line.remove_prefix(piece.size());
        } while (!line.empty());
        if (lineEnd == std::string_view::npos)
            break;
        start = lineEnd + 1;
    }
    return pieces;
}

}  // namespace localdb::client
