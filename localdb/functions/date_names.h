// Words in dates: month and day names in the session's date language, meridian and era
// indicators, numbers spelled out in English (DDSP, YEAR), ordinal suffixes, and the case rule
// of word elements (MON -> JAN, Mon -> Jan, mon -> jan).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace localdb::functions {

enum class DateLanguage { English, Japanese };

// JAPANESE gives Japanese names; every other language English ones (AMERICAN and the rest).
DateLanguage dateLanguageFor(std::string_view nlsLanguage);

// The weekday that is day 1 of D and where TRUNC(d, 'D') goes: 0 Sunday (AMERICA, JAPAN and
// most territories of the Americas and East Asia), 1 Monday elsewhere.
int firstDayOfWeek(std::string_view territory);

// Names in upper case (English) or as written (Japanese). month 1-12, weekday 0 (Sunday) - 6.
std::string monthName(DateLanguage language, int month, bool abbreviated);
std::string dayName(DateLanguage language, int weekday, bool abbreviated);
std::string meridianText(DateLanguage language, bool pm, bool withDots);
std::string eraText(DateLanguage language, bool bc, bool withDots);
// The longest full month or day name in characters (MONTH and DAY pad to it).
int longestMonthName(DateLanguage language);
int longestDayName(DateLanguage language);

// English words in upper case: 2004 -> "TWO THOUSAND FOUR", ordinals 5 -> "FIFTH".
std::string spellNumber(std::int64_t number);
std::string spellOrdinal(std::int64_t number);
// A year as Oracle's YEAR element spells it: 1998 -> "NINETEEN NINETY-EIGHT", 2004 -> "TWO
// THOUSAND FOUR".
std::string spellYear(int year);
// "ST", "ND", "RD" or "TH" for the number.
std::string ordinalSuffix(std::int64_t number);

enum class LetterCase { Upper, Capitalized, Lower };

// The case a word element asks for from how it is written: first letter lower -> Lower; first
// upper and second lower -> Capitalized; otherwise Upper.
LetterCase letterCaseOf(std::string_view element);
// Applies it to ASCII letters of an upper-case word; Capitalized capitalises every word
// ("TWENTY-ONE" -> "Twenty-One").
std::string applyLetterCase(std::string_view upperText, LetterCase letterCase);

}  // namespace localdb::functions
