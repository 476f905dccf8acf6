// Message texts of the errors the built-in functions raise.
#include "localdb/functions/function_errors.h"

#include "localdb/localdb.h"

#include <cstdio>

namespace localdb::functions {

namespace {

struct Message {
    int code;
    const char *text;
};

constexpr Message kMessages[] = {
    {909, "invalid number of arguments"},
    {932, "inconsistent datatypes"},
    {1426, "numeric overflow"},
    {1465, "invalid hex number"},
    {1476, "divisor is equal to zero"},
    {1481, "invalid number format model"},
    {1489, "result of string concatenation is too long"},
    {1722, "invalid number"},
    {1760, "illegal argument for function"},
    {1810, "format code appears twice"},
    {1811, "Julian date precludes use of day of year"},
    {1816, "month may only be specified once"},
    {1818, "'HH24' precludes use of meridian indicator"},
    {1820, "format code cannot appear in date input format"},
    {1821, "date format not recognized"},
    {1830, "date format picture ends before converting entire input string"},
    {1835, "day of week conflicts with Julian date"},
    {1839, "date not valid for month specified"},
    {1840, "input value not long enough for date format"},
    {1841, "(full) year must be between -4713 and +9999, and not be 0"},
    {1843, "not a valid month"},
    {1846, "not a valid day of the week"},
    {1847, "day of month must be between 1 and last day of month"},
    {1848, "day of year must be between 1 and 365 (366 for leap year)"},
    {1849, "hour must be between 1 and 12"},
    {1850, "hour must be between 0 and 23"},
    {1851, "minutes must be between 0 and 59"},
    {1852, "seconds must be between 0 and 59"},
    {1853, "seconds in day must be between 0 and 86399"},
    {1854, "julian date must be between 1 and 5373484"},
    {1855, "AM/A.M. or PM/P.M. required"},
    {1856, "BC/B.C. or AD/A.D. required"},
    {1857, "not a valid time zone"},
    {1858, "a non-numeric character was found where a numeric was expected"},
    {1861, "literal does not match format string"},
    {1862, "the numeric value does not match the length of the format item"},
    {1867, "the interval is invalid"},
    {1870, "the intervals or datetimes are not mutually comparable"},
    {1873, "the leading precision of the interval is too small"},
    {1874, "time zone hour must be between -15 and 15"},
    {1875, "time zone minute must be between -59 and 59"},
    {1878, "specified field not found in datetime or interval"},
    {1882, "timezone region not found"},
    {1891, "Datetime/Interval internal error"},
    {1898, "too many precision specifiers"},
    {2003, "invalid USERENV parameter"},
    {3052, "invalid argument for STANDARD_HASH function"},
    {12725, "unmatched parentheses in regular expression"},
    {12726, "unmatched bracket in regular expression"},
    {12727, "invalid back reference in regular expression"},
    {12728, "invalid range in regular expression"},
    {12729, "invalid character class in regular expression"},
    {12730, "invalid equivalence class in regular expression"},
    {12731, "invalid collation class in regular expression"},
    {12732, "invalid interval value in regular expression"},
    {12733, "regular expression too long"},
    {30001, "trim set should have only one character"},
    {30076, "invalid extract field for extract source"},
    {30081, "invalid data type for datetime/interval arithmetic"},
    {30087, "Adding two datetime values is not allowed"},
    {30088, "datetime/interval precision is out of range"},
    {30186, "'\\' must be followed by four hexadecimal characters or another '\\'"},
};

std::string prefix(int code)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "ORA-%05d: ", code);
    return buffer;
}

}  // namespace

std::string errorText(int code)
{
    for (const Message &m : kMessages) {
        if (m.code == code)
            return prefix(code) + m.text;
    }
    return {};
}

void raiseError(int code)
{
    std::string text = errorText(code);
    if (text.empty())
        text = prefix(code) + "unknown error";
    throw Error(code, text);
}

void raiseOutOfRange(std::string_view valueText)
{
    throw Error(1428, prefix(1428) + "argument '" + std::string(valueText) + "' is out of range");
}

}  // namespace localdb::functions
