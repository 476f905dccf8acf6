// Hexadecimal text and RAW values.
#include "localdb/functions/raw_functions.h"

#include "localdb/functions/ascii_text.h"
#include "localdb/functions/function_errors.h"

namespace localdb::functions {

std::string rawToHex(const std::vector<std::uint8_t> &bytes)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(bytes.size() * 2);
    for (std::uint8_t b : bytes) {
        text += kDigits[b >> 4];
        text += kDigits[b & 0x0F];
    }
    return text;
}

std::vector<std::uint8_t> hexToRaw(std::string_view text)
{
    if (text.size() % 2 != 0)
        raiseError(1465);
    std::vector<std::uint8_t> bytes;
    bytes.reserve(text.size() / 2);
    for (std::size_t i = 0; i < text.size(); i += 2) {
        int high = ascii::hexDigitValue(text[i]);
        int low = ascii::hexDigitValue(text[i + 1]);
        if (high < 0 || low < 0)
            raiseError(1465);
        bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
    }
    return bytes;
}

}  // namespace localdb::functions
