// Unicode escapes and normal forms of text.
#include "localdb/functions/unicode_text.h"

#include "localdb/functions/ascii_text.h"
#include "localdb/functions/function_errors.h"
#include "localdb/functions/utf8_text.h"

#include <QString>

#include <cstdio>

namespace localdb::functions {

namespace {

std::string normalized(std::string_view text, QString::NormalizationForm form)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size())).normalized(form).toStdString();
}

}  // namespace

std::string unistrText(std::string_view text)
{
    std::u16string units;
    for (std::size_t k = 0; k < text.size();) {
        if (text[k] != '\\') {
            std::size_t length = utf8::charLength(text, k);
            for (char32_t c : utf8::decode(text.substr(k, length))) {
                if (c > 0xFFFF) {
                    units += char16_t(0xD800 + ((c - 0x10000) >> 10));
                    units += char16_t(0xDC00 + ((c - 0x10000) & 0x3FF));
                } else {
                    units += char16_t(c);
                }
            }
            k += length;
            continue;
        }
        if (k + 1 < text.size() && text[k + 1] == '\\') {
            units += u'\\';
            k += 2;
            continue;
        }
        int unit = 0;
        for (std::size_t d = 1; d <= 4; ++d) {
            int digit = k + d < text.size() ? ascii::hexDigitValue(text[k + d]) : -1;
            if (digit < 0)
                raiseError(30186);
            unit = unit * 16 + digit;
        }
        units += char16_t(unit);
        k += 5;
    }
    return QString::fromUtf16(units.data(), qsizetype(units.size())).toStdString();
}

std::string asciistrText(std::string_view text)
{
    std::string result;
    for (QChar unit : QString::fromUtf8(text.data(), qsizetype(text.size()))) {
        char16_t c = unit.unicode();
        if (c < 0x80 && c != '\\') {
            result += char(c);
            continue;
        }
        char escape[8];
        std::snprintf(escape, sizeof escape, "\\%04X", unsigned(c));
        result += escape;
    }
    return result;
}

std::string composeText(std::string_view text) { return normalized(text, QString::NormalizationForm_C); }
std::string decomposeText(std::string_view text) { return normalized(text, QString::NormalizationForm_D); }

}  // namespace localdb::functions
