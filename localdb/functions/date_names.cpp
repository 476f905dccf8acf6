// Month and day names, spelled numbers and the letter case of date words.
#include "localdb/functions/ascii_text.h"
#include "localdb/functions/date_names.h"

#include <cstdint>

namespace localdb::functions {

namespace {

const char *const kEnglishMonths[] = {"JANUARY", "FEBRUARY", "MARCH",     "APRIL",   "MAY",      "JUNE",
                                      "JULY",    "AUGUST",   "SEPTEMBER", "OCTOBER", "NOVEMBER", "DECEMBER"};
const char *const kEnglishDays[] = {"SUNDAY",   "MONDAY", "TUESDAY", "WEDNESDAY",
                                    "THURSDAY", "FRIDAY", "SATURDAY"};
const char *const kJapaneseDays[] = {"日曜日", "月曜日", "火曜日", "水曜日", "木曜日", "金曜日", "土曜日"};
const char *const kJapaneseDayAbbreviations[] = {"日", "月", "火", "水", "木", "金", "土"};

const char *const kOnes[] = {"ZERO",    "ONE",     "TWO",       "THREE",    "FOUR",
                             "FIVE",    "SIX",     "SEVEN",     "EIGHT",    "NINE",
                             "TEN",     "ELEVEN",  "TWELVE",    "THIRTEEN", "FOURTEEN",
                             "FIFTEEN", "SIXTEEN", "SEVENTEEN", "EIGHTEEN", "NINETEEN"};
const char *const kTens[] = {"", "", "TWENTY", "THIRTY", "FORTY", "FIFTY", "SIXTY", "SEVENTY", "EIGHTY", "NINETY"};

std::string spellBelowThousand(int n)
{
    std::string text;
    if (n >= 100) {
        text = std::string(kOnes[n / 100]) + " HUNDRED";
        n %= 100;
        if (n == 0)
            return text;
        text += ' ';
    }
    if (n < 20)
        return text + kOnes[n];
    text += kTens[n / 10];
    if (n % 10)
        text += std::string("-") + kOnes[n % 10];
    return text;
}

}  // namespace

DateLanguage dateLanguageFor(std::string_view nlsLanguage)
{
    return nlsLanguage == "JAPANESE" ? DateLanguage::Japanese : DateLanguage::English;
}

int firstDayOfWeek(std::string_view territory)
{
    for (std::string_view sunday : {"AMERICA", "JAPAN", "CANADA", "KOREA", "CHINA", "TAIWAN", "HONG KONG",
                                    "BRAZIL", "MEXICO", "ISRAEL", "PHILIPPINES", "INDIA"}) {
        if (territory == sunday)
            return 0;
    }
    return 1;
}

std::string monthName(DateLanguage language, int month, bool abbreviated)
{
    if (month < 1 || month > 12)
        return {};
    if (language == DateLanguage::Japanese)
        return std::to_string(month) + "月";
    std::string name = kEnglishMonths[month - 1];
    return abbreviated ? name.substr(0, 3) : name;
}

std::string dayName(DateLanguage language, int weekday, bool abbreviated)
{
    if (weekday < 0 || weekday > 6)
        return {};
    if (language == DateLanguage::Japanese)
        return abbreviated ? kJapaneseDayAbbreviations[weekday] : kJapaneseDays[weekday];
    std::string name = kEnglishDays[weekday];
    return abbreviated ? name.substr(0, 3) : name;
}

std::string meridianText(DateLanguage language, bool pm, bool withDots)
{
    if (language == DateLanguage::Japanese)
        return pm ? "午後" : "午前";
    if (withDots)
        return pm ? "P.M." : "A.M.";
    return pm ? "PM" : "AM";
}

std::string eraText(DateLanguage language, bool bc, bool withDots)
{
    if (language == DateLanguage::Japanese)
        return bc ? "紀元前" : "西暦";
    if (withDots)
        return bc ? "B.C." : "A.D.";
    return bc ? "BC" : "AD";
}

int longestMonthName(DateLanguage language)
{
    return language == DateLanguage::Japanese ? 3 : 9;
}

int longestDayName(DateLanguage language)
{
    return language == DateLanguage::Japanese ? 3 : 9;
}

std::string spellNumber(std::int64_t number)
{
    if (number < 0)
        return "MINUS " + spellNumber(number == INT64_MIN ? INT64_MAX : -number);
    if (number < 1000)
        return spellBelowThousand(static_cast<int>(number));
    static const struct {
        std::int64_t value;
        const char *name;
    } kScales[] = {{1000000000000LL, "TRILLION"}, {1000000000LL, "BILLION"}, {1000000LL, "MILLION"},
                   {1000LL, "THOUSAND"}};
    std::string text;
    for (const auto &scale : kScales) {
        if (number >= scale.value) {
            std::int64_t count = number / scale.value;
            if (!text.empty())
                text += ' ';
            text += (count < 1000 ? spellBelowThousand(static_cast<int>(count)) : spellNumber(count)) + " "
                    + scale.name;
            number %= scale.value;
        }
    }
    if (number > 0)
        text += " " + spellBelowThousand(static_cast<int>(number));
    return text;
}

std::string spellOrdinal(std::int64_t number)
{
    std::string text = spellNumber(number);
    // Only the last word changes: ONE -> FIRST, TWENTY -> TWENTIETH, FIVE -> FIFTH.
    std::size_t start = text.find_last_of(" -");
    start = start == std::string::npos ? 0 : start + 1;
    std::string last = text.substr(start);
    text.erase(start);
    static const struct {
        const char *cardinal;
        const char *ordinal;
    } kIrregular[] = {{"ONE", "FIRST"},   {"TWO", "SECOND"}, {"THREE", "THIRD"}, {"FIVE", "FIFTH"},
                      {"EIGHT", "EIGHTH"}, {"NINE", "NINTH"}, {"TWELVE", "TWELFTH"}};
    for (const auto &word : kIrregular) {
        if (last == word.cardinal)
            return text + word.ordinal;
    }
    if (last.back() == 'Y')
        return text + last.substr(0, last.size() - 1) + "IETH";
    return text + last + "TH";
}

std::string spellYear(int year)
{
    int high = year / 100;
    int low = year % 100;
    if (year < 1000 || (high % 10 == 0 && low < 10))
        return spellNumber(year);
    if (low == 0)
        return spellBelowThousand(high) + " HUNDRED";
    return spellBelowThousand(high) + " " + spellBelowThousand(low);
}

std::string ordinalSuffix(std::int64_t number)
{
    std::int64_t magnitude = number < 0 ? -(number % 100) : number % 100;
    if (magnitude >= 11 && magnitude <= 13)
        return "TH";
    switch (magnitude % 10) {
    case 1:
        return "ST";
    case 2:
        return "ND";
    case 3:
        return "RD";
    default:
        return "TH";
    }
}

LetterCase letterCaseOf(std::string_view element)
{
    if (element.empty())
        return LetterCase::Upper;
    if (ascii::isLower(element[0]))
        return LetterCase::Lower;
    if (element.size() > 1 && ascii::isLower(element[1]))
        return LetterCase::Capitalized;
    return LetterCase::Upper;
}

std::string applyLetterCase(std::string_view upperText, LetterCase letterCase)
{
    std::string text(upperText);
    if (letterCase == LetterCase::Upper)
        return text;
    bool wordStart = true;
    for (char &c : text) {
        bool letter = ascii::isAlpha(c);
        if (letter && (letterCase == LetterCase::Lower || !wordStart))
            c = ascii::toLower(c);
        wordStart = !letter;
    }
    return text;
}

}  // namespace localdb::functions
