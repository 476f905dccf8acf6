// Conversion between code page 932 and Unicode through glibc's iconv, and the mapping of byte
// offsets between the code page 932 and the UTF-8 form of a text.
//
// Each thread opens its two converters once, on first use, and keeps them for its lifetime:
// an iconv descriptor carries shift state and must not be used by two threads at once, and a
// per-thread pair needs no lock.
#include "classlib/cp932.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

namespace classlib::cp932 {

namespace {

constexpr char kReplacementUtf8[] = "\xEF\xBF\xBD"; // U+FFFD

class Converter {
public:
    Converter(const char *to, const char *from) : cd_(iconv_open(to, from))
    {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("iconv cannot convert from ") + from + " to " + to);
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    // Converts as much of in as possible, appending to out. Returns the number of input bytes
    // consumed; stops early at an invalid or incomplete sequence (errno-free contract: the
    // caller looks at what is left).
    std::size_t Convert(std::string_view in, std::string &out)
    {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char *inPtr = const_cast<char *>(in.data());
        std::size_t inLeft = in.size();
        char buffer[1024];
        while (inLeft > 0) {
            char *outPtr = buffer;
            std::size_t outLeft = sizeof buffer;
            const std::size_t rc = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
            const int error = rc == static_cast<std::size_t>(-1) ? errno : 0;
            out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
            if (error == E2BIG) continue;
            if (error != 0) break;
        }
        return in.size() - inLeft;
    }

private:
    iconv_t cd_;
};

Converter &ToUtf8()
{
    thread_local Converter converter("UTF-8", "CP932");
    return converter;
}

Converter &FromUtf8()
{
    thread_local Converter converter("CP932", "UTF-8");
    return converter;
}

// Length of the UTF-8 sequence that a byte starts (1 for stray bytes, so that they are
// replaced one at a time).
std::size_t Utf8SequenceLength(std::string_view text, std::size_t pos)
{
    const auto lead = static_cast<unsigned char>(text[pos]);
    std::size_t len = 1;
    if (lead >= 0xC2 && lead <= 0xDF) len = 2;
    else if (lead >= 0xE0 && lead <= 0xEF) len = 3;
    else if (lead >= 0xF0 && lead <= 0xF4) len = 4;
    if (pos + len > text.size()) return 1;
    for (std::size_t k = 1; k < len; ++k)
        if ((static_cast<unsigned char>(text[pos + k]) & 0xC0) != 0x80) return 1;
    return len;
}

// Fast path shared by both directions: ASCII is the same in both encodings.
std::size_t AsciiPrefix(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && static_cast<unsigned char>(text[i]) < 0x80) ++i;
    return i;
}

// UTF-8 length of one code page 932 character (the replacement's length for invalid bytes).
std::size_t Utf8LengthOfChar(std::string_view character)
{
    if (character.size() == 1 && static_cast<unsigned char>(character[0]) < 0x80) return 1;
    return Cp932ToUtf8(character).size();
}

} // namespace

std::string Cp932ToUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 2);
    std::size_t pos = AsciiPrefix(text);
    out.append(text.substr(0, pos));
    while (pos < text.size()) {
        // iconv agrees with CharLength on every valid character, so it stops on a character
        // boundary: at an invalid pair, an undefined code, a lead byte before NUL or at the end.
        pos += ToUtf8().Convert(text.substr(pos), out);
        if (pos >= text.size()) break;
        // Replace that character's lead byte and keep its second byte if it stands on its own
        // (a line break or an ASCII letter after a stray lead byte survives). The output thus
        // follows the same character boundaries as the rest of Kestrim, which the offset
        // mapping below relies on.
        const std::size_t len = CharLength(text, pos);
        out += kReplacementUtf8;
        if (len == 2) {
            std::string single;
            if (ToUtf8().Convert(text.substr(pos + 1, 1), single) == 1)
                out += single;
            else
                out += kReplacementUtf8;
        }
        pos += len;
    }
    return out;
}

std::string Utf8ToCp932(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    std::size_t pos = AsciiPrefix(text);
    out.append(text.substr(0, pos));
    while (pos < text.size()) {
        pos += FromUtf8().Convert(text.substr(pos), out);
        if (pos < text.size()) {
            // A character code page 932 cannot hold, or a stray byte: one "?" for each.
            out += '?';
            pos += Utf8SequenceLength(text, pos);
        }
    }
    return out;
}

QString ToUnicode(std::string_view text)
{
    const std::string utf8 = Cp932ToUtf8(text);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string FromUnicode(const QString &text)
{
    // toUtf8 turns unpaired surrogates into U+FFFD, which then becomes "?".
    const QByteArray utf8 = text.toUtf8();
    return Utf8ToCp932(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

std::size_t Utf8OffsetToCp932Offset(std::string_view cp932Text, std::size_t utf8Offset)
{
    std::size_t utf8Pos = 0;
    for (std::size_t i = 0; i < cp932Text.size();) {
        const std::size_t len = CharLength(cp932Text, i);
        const std::size_t utf8Len = Utf8LengthOfChar(cp932Text.substr(i, len));
        if (utf8Offset < utf8Pos + utf8Len) return i;
        utf8Pos += utf8Len;
        i += len;
    }
    return cp932Text.size();
}

std::size_t Cp932OffsetToUtf8Offset(std::string_view cp932Text, std::size_t cp932Offset)
{
    std::size_t utf8Pos = 0;
    for (std::size_t i = 0; i < cp932Text.size();) {
        const std::size_t len = CharLength(cp932Text, i);
        if (cp932Offset < i + len) return utf8Pos;
        utf8Pos += Utf8LengthOfChar(cp932Text.substr(i, len));
        i += len;
    }
    return utf8Pos;
}

} // namespace classlib::cp932
