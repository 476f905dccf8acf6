// Printing numbers through a number format model and reading them back.
//
// The printed field has a fixed width: one position per digit, separator, decimal character and
// currency symbol of the model, plus the sign's positions (one leading position unless the model
// has S, MI or PR). The number's text is built without its leading blanks, then the sign and
// currency are attached to it and the result is right-aligned in that width, which is how the
// minus sign and the dollar float next to the first printed digit.
#include "localdb/functions/ascii_text.h"
#include "localdb/functions/number_format.h"

#include "localdb/functions/function_errors.h"
#include "localdb/functions/number_format_model.h"
#include "localdb/functions/number_text.h"
#include "localdb/functions/utf8_text.h"

#include <algorithm>

namespace localdb::functions {

namespace {

using Model = NumberFormatModel;

std::string trimBlanks(const std::string &text)
{
    std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string currencyText(const Model &model, const NumberSymbols &symbols)
{
    switch (model.currency) {
    case Model::Currency::None:
        return {};
    case Model::Currency::Dollar:
        return "$";
    case Model::Currency::Iso:
        return symbols.isoCurrency;
    case Model::Currency::Local:
    case Model::Currency::Dual:
        return symbols.currency;
    }
    return {};
}

int signWidth(Model::Sign sign)
{
    return sign == Model::Sign::Brackets ? 2 : 1;
}

// Attaches sign and currency to the number's text (no leading blanks) and right-aligns the result
// in the model's width; FM drops the padding.
std::string compose(const Model &model, const NumberSymbols &symbols, const std::string &number,
                    int bodyWidth, bool negative)
{
    std::string currency = currencyText(model, symbols);
    std::string core = model.currencyAtEnd ? number + currency : currency + number;
    switch (model.sign) {
    case Model::Sign::Default:
        if (negative)
            core = "-" + core;
        break;
    case Model::Sign::LeadingS:
        core = (negative ? "-" : "+") + core;
        break;
    case Model::Sign::TrailingS:
        core += negative ? "-" : "+";
        break;
    case Model::Sign::TrailingMinus:
        core += negative ? "-" : " ";
        break;
    case Model::Sign::Brackets:
        core = negative ? "<" + core + ">" : core + " ";
        break;
    }
    if (model.fillMode)
        return trimBlanks(core);
    long width = bodyWidth + static_cast<long>(utf8::charCount(currency)) + signWidth(model.sign);
    long length = static_cast<long>(utf8::charCount(core));
    if (length < width)
        core.insert(0, static_cast<std::size_t>(width - length), ' ');
    return core;
}

long fieldWidth(const Model &model, const NumberSymbols &symbols, int bodyWidth)
{
    return bodyWidth + static_cast<long>(utf8::charCount(currencyText(model, symbols)))
           + signWidth(model.sign);
}

std::string overflow(long width)
{
    return std::string(static_cast<std::size_t>(std::max(width, 1L)), '#');
}

// Digits after the decimal character, with FM's removal of trailing zeros from 9 positions.
std::string fractionText(const Model &model, std::string digits)
{
    if (model.fillMode) {
        std::size_t keep = digits.size();
        while (keep > 0 && model.fractionMask[keep - 1] == '9' && digits[keep - 1] == '0')
            --keep;
        digits.resize(keep);
    }
    return digits;
}

std::string formatScientific(const DecimalNumber &value, const Model &model,
                             const NumberSymbols &symbols)
{
    int fractionCount = static_cast<int>(model.fractionMask.size());
    DecimalNumber rounded = value.roundedSignificant(1 + fractionCount);
    std::string digits = rounded.digits();
    int exponent = rounded.isZero() ? 0 : rounded.exponent() - 1;
    digits.resize(static_cast<std::size_t>(1 + fractionCount), '0');
    std::string number(1, digits[0]);
    if (model.hasDecimal)
        number += (model.nlsSeparators ? symbols.decimal : '.') + fractionText(model, digits.substr(1));
    std::string exponentText = std::to_string(std::abs(exponent));
    if (exponentText.size() < 2)
        exponentText.insert(0, "0");
    number += (exponent < 0 ? "E-" : "E+") + exponentText;
    // The exponent field has room for three digits.
    int bodyWidth = static_cast<int>(model.integerMask.size()) + (model.hasDecimal ? 1 : 0)
                    + fractionCount + 5;
    return compose(model, symbols, number, bodyWidth, rounded.isNegative());
}

std::string formatHex(const DecimalNumber &value, const Model &model)
{
    long width = model.hexDigits + 1;
    DecimalNumber rounded = value.rounded(0);
    std::string hex;
    if (rounded.isNegative())
        return overflow(width);
    // Repeated division by 16 on the decimal digit string, so values beyond 64 bits work too.
    std::string decimal = rounded.integerPart();
    // Each hexadecimal digit holds at most 1.21 decimal ones: anything longer cannot fit, and
    // saying so at once spares the division of a huge number.
    if (static_cast<double>(decimal.size()) > model.hexDigits * 1.21 + 1)
        return overflow(width);
    const char *hexDigits = model.hexLower ? "0123456789abcdef" : "0123456789ABCDEF";
    while (!decimal.empty()) {
        std::string quotient;
        int remainder = 0;
        for (char c : decimal) {
            int current = remainder * 10 + (c - '0');
            int q = current / 16;
            remainder = current % 16;
            if (!quotient.empty() || q != 0)
                quotient += static_cast<char>('0' + q);
        }
        hex.insert(hex.begin(), hexDigits[remainder]);
        decimal = quotient;
        if (static_cast<long>(hex.size()) > model.hexDigits)
            return overflow(width);
    }
    if (hex.empty())
        hex = "0";
    if (model.hexZeroFill)
        hex.insert(0, static_cast<std::size_t>(model.hexDigits) - hex.size(), '0');
    if (model.fillMode)
        return hex;
    return std::string(static_cast<std::size_t>(width) - hex.size(), ' ') + hex;
}

std::string formatRoman(const DecimalNumber &value, const Model &model)
{
    constexpr int kWidth = 15;
    auto number = value.rounded(0).toInt64();
    if (!number || *number < 1 || *number > 3999)
        return overflow(kWidth);
    static const struct {
        int value;
        const char *upper;
        const char *lower;
    } kNumerals[] = {{1000, "M", "m"}, {900, "CM", "cm"}, {500, "D", "d"}, {400, "CD", "cd"},
                     {100, "C", "c"},  {90, "XC", "xc"},  {50, "L", "l"},  {40, "XL", "xl"},
                     {10, "X", "x"},   {9, "IX", "ix"},   {5, "V", "v"},   {4, "IV", "iv"},
                     {1, "I", "i"}};
    std::string roman;
    long rest = *number;
    for (const auto &numeral : kNumerals) {
        while (rest >= numeral.value) {
            roman += model.romanLower ? numeral.lower : numeral.upper;
            rest -= numeral.value;
        }
    }
    if (model.fillMode)
        return roman;
    return std::string(kWidth - roman.size(), ' ') + roman;
}

std::string formatDigits(const DecimalNumber &value, const Model &model, const NumberSymbols &symbols)
{
    int fractionCount = static_cast<int>(model.fractionMask.size());
    int bodyWidth = static_cast<int>(model.integerMask.size()) + (model.hasDecimal ? 1 : 0) + fractionCount;
    DecimalNumber rounded = value.scaled(model.shiftDigits).rounded(fractionCount);
    std::string integer = rounded.integerPart();
    int integerPositions = model.integerDigitCount();
    if (static_cast<int>(integer.size()) > integerPositions)
        return overflow(fieldWidth(model, symbols, bodyWidth));
    if (model.blankZero && rounded.isZero()) {
        if (model.fillMode)
            return {};
        return std::string(static_cast<std::size_t>(fieldWidth(model, symbols, bodyWidth)), ' ');
    }

    // Digit positions right to left: the value's digits, then forced zeros from the first 0 of
    // the model on, then blanks.
    const std::string &mask = model.integerMask;
    std::size_t firstZero = mask.find('0');
    std::string digitChars(mask.size(), ' ');
    std::size_t digitIndex = 0;
    for (std::size_t p = mask.size(); p-- > 0;) {
        if (mask[p] == ',')
            continue;
        if (digitIndex < integer.size())
            digitChars[p] = integer[integer.size() - 1 - digitIndex];
        else if (firstZero != std::string::npos && p >= firstZero)
            digitChars[p] = '0';
        ++digitIndex;
    }
    std::string fraction = model.hasDecimal ? fractionText(model, rounded.fractionPart(fractionCount))
                                            : std::string();
    // A zero integer part prints one 0 when nothing else would show a digit.
    bool anyDigit = digitChars.find_first_not_of(" ,") != std::string::npos;
    bool needZero = fractionCount == 0 || (model.fillMode && fraction.empty());
    if (!anyDigit && needZero && integerPositions > 0) {
        std::size_t last = mask.find_last_not_of(',');
        digitChars[last] = '0';
    }
    std::string number;
    bool started = false;
    char group = model.nlsSeparators ? symbols.group : ',';
    for (std::size_t p = 0; p < mask.size(); ++p) {
        if (mask[p] == ',') {
            if (started)
                number += group;
            continue;
        }
        if (digitChars[p] != ' ')
            started = true;
        if (started)
            number += digitChars[p];
    }
    if (model.hasDecimal) {
        number += model.nlsSeparators ? symbols.decimal : '.';
        number += fraction;
    }
    return compose(model, symbols, number, bodyWidth, rounded.isNegative());
}

std::string_view trimView(std::string_view text)
{
    while (!text.empty() && ascii::isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && ascii::isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool consumePrefix(std::string_view &text, std::string_view prefix)
{
    if (prefix.empty() || text.substr(0, prefix.size()) != prefix)
        return false;
    text.remove_prefix(prefix.size());
    return true;
}

bool consumeSuffix(std::string_view &text, std::string_view suffix)
{
    if (suffix.empty() || text.size() < suffix.size() || text.substr(text.size() - suffix.size()) != suffix)
        return false;
    text.remove_suffix(suffix.size());
    return true;
}

[[noreturn]] void invalidNumber() { raiseError(1722); }

DecimalNumber parseHex(std::string_view text, const Model &model)
{
    text = trimView(text);
    if (text.empty() || static_cast<int>(text.size()) > model.hexDigits)
        invalidNumber();
    // Decimal digits of the value, built by multiply-and-add on a digit string.
    std::string decimal = "0";
    for (char c : text) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            invalidNumber();
        int carry = digit;
        for (std::size_t i = decimal.size(); i-- > 0;) {
            int current = (decimal[i] - '0') * 16 + carry;
            decimal[i] = static_cast<char>('0' + current % 10);
            carry = current / 10;
        }
        while (carry > 0) {
            decimal.insert(decimal.begin(), static_cast<char>('0' + carry % 10));
            carry /= 10;
        }
    }
    return DecimalNumber::fromDigits(false, decimal, static_cast<int>(decimal.size()));
}

}  // namespace

std::string formatNumber(const DecimalNumber &value, std::string_view modelText, const NumberSymbols &symbols)
{
    Model model = parseNumberFormatModel(modelText);
    switch (model.kind) {
    case Model::Kind::TextMinimum:
        return defaultNumberText(value, symbols.decimal);
    case Model::Kind::TextMinimumScientific:
        return scientificNumberText(value, symbols.decimal);
    case Model::Kind::Hex:
        return formatHex(value, model);
    case Model::Kind::Roman:
        return formatRoman(value, model);
    case Model::Kind::Digits:
        break;
    }
    if (model.scientific)
        return formatScientific(value, model, symbols);
    return formatDigits(value, model, symbols);
}

DecimalNumber parseNumberWithModel(std::string_view text, std::string_view modelText,
                                   const NumberSymbols &symbols)
{
    Model model = parseNumberFormatModel(modelText);
    switch (model.kind) {
    case Model::Kind::TextMinimum:
    case Model::Kind::TextMinimumScientific:
        return parseNumberText(text, symbols.decimal);
    case Model::Kind::Hex:
        return parseHex(text, model);
    case Model::Kind::Roman:
        raiseError(1481);
    case Model::Kind::Digits:
        break;
    }
    std::string_view rest = trimView(text);
    bool negative = false;
    switch (model.sign) {
    case Model::Sign::Brackets:
        if (!rest.empty() && rest.front() == '<') {
            if (rest.size() < 2 || rest.back() != '>')
                invalidNumber();
            rest = rest.substr(1, rest.size() - 2);
            negative = true;
        }
        break;
    case Model::Sign::TrailingMinus:
        negative = consumeSuffix(rest, "-");
        if (!negative)
            consumeSuffix(rest, "+");
        break;
    case Model::Sign::TrailingS:
        if (consumeSuffix(rest, "-"))
            negative = true;
        else if (!consumeSuffix(rest, "+"))
            invalidNumber();
        break;
    case Model::Sign::LeadingS:
        if (consumePrefix(rest, "-"))
            negative = true;
        else if (!consumePrefix(rest, "+"))
            invalidNumber();
        break;
    case Model::Sign::Default:
        if (consumePrefix(rest, "-"))
            negative = true;
        else
            consumePrefix(rest, "+");
        break;
    }
    std::string currency = currencyText(model, symbols);
    if (!currency.empty() && !consumePrefix(rest, currency))
        consumeSuffix(rest, currency);
    rest = trimView(rest);

    char decimalChar = model.nlsSeparators ? symbols.decimal : '.';
    char groupChar = model.nlsSeparators ? symbols.group : ',';
    bool hasGroups = model.integerMask.find(',') != std::string::npos;
    std::string digits;
    int integerDigits = 0;
    int fractionDigits = 0;
    bool inFraction = false;
    std::size_t i = 0;
    for (; i < rest.size(); ++i) {
        char c = rest[i];
        if (c >= '0' && c <= '9') {
            digits += c;
            if (inFraction)
                ++fractionDigits;
            else
                ++integerDigits;
        } else if (c == decimalChar && model.hasDecimal && !inFraction) {
            inFraction = true;
        } else if (c == groupChar && hasGroups && !inFraction) {
            continue;
        } else if ((c == 'E' || c == 'e') && model.scientific) {
            break;
        } else {
            invalidNumber();
        }
    }
    if (digits.empty())
        invalidNumber();
    int exponent = 0;
    if (i < rest.size()) {
        auto parsedExponent = DecimalNumber::parse("1" + std::string(rest.substr(i)));
        if (!parsedExponent)
            invalidNumber();
        exponent = parsedExponent->exponent() - 1;
    } else {
        if (integerDigits > model.integerDigitCount() || fractionDigits > static_cast<int>(model.fractionMask.size()))
            invalidNumber();
    }
    return DecimalNumber::fromDigits(negative, digits, integerDigits + exponent - model.shiftDigits);
}

}  // namespace localdb::functions
