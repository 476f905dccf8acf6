// Oracle's internal forms of NUMBER, DATE, text and RAW values.
#include "localdb/functions/value_bytes.h"

#include "localdb/functions/database_charset.h"
#include "localdb/functions/sqlite_arguments.h"

namespace localdb::functions {

ByteString numberBytes(const DecimalNumber &number)
{
    if (number.isZero())
        return {128};
    // Digits in pairs of base 100, aligned so that the point falls between pairs.
    std::string digits = number.digits();
    int exponent = number.exponent();
    if (exponent % 2 != 0) {
        digits.insert(digits.begin(), '0');
        ++exponent;
    }
    if (digits.size() % 2 != 0)
        digits += '0';
    const int power = exponent / 2 - 1;  // power of 100 of the first pair
    const bool negative = number.isNegative();
    ByteString bytes;
    bytes.push_back(std::uint8_t(negative ? 62 - power : 193 + power));
    for (std::size_t k = 0; k < digits.size() && bytes.size() < 21; k += 2) {
        int pair = (digits[k] - '0') * 10 + (digits[k + 1] - '0');
        bytes.push_back(std::uint8_t(negative ? 101 - pair : pair + 1));
    }
    if (negative && bytes.size() < 21)
        bytes.push_back(102);
    return bytes;
}

ByteString dateBytes(const DateTime &date)
{
    int year = date.year < 0 ? -date.year : date.year;
    return {std::uint8_t(year / 100 + 100), std::uint8_t(year % 100 + 100), std::uint8_t(date.month),
            std::uint8_t(date.day),         std::uint8_t(date.hour + 1),     std::uint8_t(date.minute + 1),
            std::uint8_t(date.second + 1)};
}

ByteString argumentBytes(const Arguments &a, int i, bool asDate)
{
    if (asDate)
        return dateBytes(a.date(i));
    switch (a.type(i)) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        return numberBytes(a.number(i));
    case SQLITE_BLOB:
        return a.raw(i);
    default: {
        std::string bytes = toDatabaseBytes(a.text(i), charsetFor(a.session().characterSet));
        return ByteString(bytes.begin(), bytes.end());
    }
    }
}

}  // namespace localdb::functions
