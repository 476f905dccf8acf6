// Feeds random format models and values to the built-in functions' parsers and formatters. Any
// outcome other than a result or an Oracle error (a crash, a read out of bounds, another
// exception) is a fault.
//
// Input: one byte choosing the function, eight bytes of numbers, then the model and the value
// separated by the first NUL byte.
#include "localdb/functions/date_calendar.h"
#include "localdb/functions/date_format.h"
#include "localdb/functions/date_functions.h"
#include "localdb/functions/number_format.h"
#include "localdb/functions/number_text.h"
#include "localdb/functions/text_functions.h"
#include "localdb/functions/width_conversion.h"
#include "localdb/localdb.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

using namespace localdb::functions;

namespace {

DecimalNumber numberFrom(std::string_view text, double fallback)
{
    if (auto parsed = DecimalNumber::parse(text))
        return *parsed;
    return std::isfinite(fallback) ? DecimalNumber::fromDouble(fallback) : DecimalNumber();
}

// A valid date built from arbitrary bits.
localdb::DateTime dateFrom(std::uint64_t bits)
{
    std::int64_t first = toSeconds(localdb::DateTime{1, 1, 1});
    std::int64_t last = toSeconds(localdb::DateTime{9999, 12, 31, 23, 59, 59});
    return fromSeconds(first + static_cast<std::int64_t>(bits % static_cast<std::uint64_t>(last - first + 1)));
}

void run(std::uint8_t selector, std::uint64_t bits, std::string_view model, std::string_view value)
{
    double real;
    std::memcpy(&real, &bits, sizeof real);
    double small = static_cast<double>(static_cast<std::int16_t>(bits & 0xFFFF)) / 4;
    DateFormatSettings settings;
    settings.language = (bits & 1) ? DateLanguage::Japanese : DateLanguage::English;
    settings.firstDayOfWeek = (bits >> 1) & 1;
    settings.now = dateFrom(bits >> 8);
    switch (selector % 10) {
    case 0:
        formatNumber(numberFrom(value, real), model);
        break;
    case 1:
        parseNumberWithModel(value, model, NumberSymbols{',', '.', "€", "EUR"});
        break;
    case 2:
        formatDate(dateFrom(bits), model, settings);
        break;
    case 3:
        parseDate(value, model, settings);
        break;
    case 4: {
        DecimalNumber n = numberFrom(value, real);
        defaultNumberText(n.rounded(static_cast<int>(small)));
        defaultNumberText(n.truncated(static_cast<int>(small)));
        scientificNumberText(n);
        n.toDouble();
        n.toInt64();
        break;
    }
    case 5:
        substr(value, small, real);
        substrb(value, small, small / 3, (bits & 1) ? DatabaseCharset::ShiftJis : DatabaseCharset::Utf8);
        instr(value, model, small, static_cast<double>((bits >> 16) & 7) + 1);
        instrb(value, model, -small, 1, DatabaseCharset::ShiftJis);
        break;
    case 6:
        lpad(value, small, model);
        rpad(value, real, model);
        trimCharacters(value, model, bits & 1, bits & 2);
        translateText(value, model, value);
        break;
    case 7:
        upperText(value);
        initcapText(value);
        soundexText(value);
        replaceText(value, model, value);
        asciiCode(value, DatabaseCharset::ShiftJis);
        chrText(small, (bits & 1) ? DatabaseCharset::ShiftJis : DatabaseCharset::Utf8);
        toSingleByte(toMultiByte(value));
        break;
    case 8:
        roundDate(dateFrom(bits), model, settings.firstDayOfWeek);
        truncDate(dateFrom(bits), model, settings.firstDayOfWeek);
        nextDay(dateFrom(bits), value, settings.language);
        break;
    case 9:
        addMonths(dateFrom(bits), small * 100);
        addDays(dateFrom(bits), real);
        monthsBetween(dateFrom(bits), dateFrom(bits >> 3));
        break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 9)
        return 0;
    std::uint64_t bits;
    std::memcpy(&bits, data + 1, sizeof bits);
    std::string_view rest(reinterpret_cast<const char *>(data + 9), size - 9);
    std::size_t split = rest.find('\0');
    std::string model(rest.substr(0, split));
    std::string value(split == std::string_view::npos ? std::string_view() : rest.substr(split + 1));
    try {
        run(data[0], bits, model, value);
    } catch (const localdb::Error &) {
        // Oracle's errors are expected results of bad models and values.
    }
    return 0;
}
