// TO_CHAR for dates: each element of the model printed from the date.
#include "localdb/functions/date_format.h"

#include "localdb/functions/date_calendar.h"
#include "localdb/functions/date_format_model.h"
#include "localdb/functions/function_errors.h"
#include "localdb/functions/utf8_text.h"

#include <cstdlib>

namespace localdb::functions {

namespace {

const char *const kRomanMonths[] = {"I", "II", "III", "IV", "V", "VI", "VII", "VIII", "IX", "X", "XI", "XII"};

std::string padded(std::int64_t value, int width, bool fillMode)
{
    std::string digits = std::to_string(std::llabs(value));
    if (!fillMode && static_cast<int>(digits.size()) < width)
        digits.insert(0, static_cast<std::size_t>(width) - digits.size(), '0');
    return value < 0 ? "-" + digits : digits;
}

// Right-pads a name to the longest name's width unless in fill mode.
std::string padName(std::string name, int width, bool fillMode)
{
    int length = static_cast<int>(utf8::charCount(name));
    if (!fillMode && length < width)
        name.append(static_cast<std::size_t>(width - length), ' ');
    return name;
}

struct NumericField {
    std::int64_t value;
    int width;
};

NumericField numericField(DateElement element, const DateTime &d, const DateFormatSettings &settings)
{
    switch (element) {
    case DateElement::SignedYear:
    case DateElement::YearWithComma:
    case DateElement::Year4:
    case DateElement::RoundYear4:
        return {d.year, 4};
    case DateElement::Year3:
        return {d.year % 1000, 3};
    case DateElement::Year2:
    case DateElement::RoundYear2:
        return {d.year % 100, 2};
    case DateElement::Year1:
        return {d.year % 10, 1};
    case DateElement::IsoYear4:
        return {isoYear(d), 4};
    case DateElement::IsoYear3:
        return {isoYear(d) % 1000, 3};
    case DateElement::IsoYear2:
        return {isoYear(d) % 100, 2};
    case DateElement::IsoYear1:
        return {isoYear(d) % 10, 1};
    case DateElement::Century:
    case DateElement::SignedCentury:
        return {(d.year + 99) / 100, 2};
    case DateElement::Quarter:
        return {(d.month - 1) / 3 + 1, 1};
    case DateElement::Month:
        return {d.month, 2};
    case DateElement::WeekOfYear:
        return {(dayOfYear(d) - 1) / 7 + 1, 2};
    case DateElement::IsoWeek:
        return {isoWeek(d), 2};
    case DateElement::WeekOfMonth:
        return {(d.day - 1) / 7 + 1, 1};
    case DateElement::DayOfYear:
        return {dayOfYear(d), 3};
    case DateElement::DayOfMonth:
        return {d.day, 2};
    case DateElement::DayOfWeek:
        return {(dayOfWeek(d) - settings.firstDayOfWeek + 7) % 7 + 1, 1};
    case DateElement::JulianDay:
        return {julianDay(d), 7};
    case DateElement::Hour12:
        return {d.hour % 12 == 0 ? 12 : d.hour % 12, 2};
    case DateElement::Hour24:
        return {d.hour, 2};
    case DateElement::Minute:
        return {d.minute, 2};
    case DateElement::Second:
        return {d.second, 2};
    case DateElement::SecondsOfDay:
        return {d.hour * 3600 + d.minute * 60 + d.second, 5};
    default:
        return {0, 0};
    }
}

std::string numericText(const DateFormatItem &item, const DateTime &d, const DateFormatSettings &settings)
{
    NumericField field = numericField(item.element, d, settings);
    std::string text;
    if (item.spelled) {
        std::string words = item.ordinal ? spellOrdinal(field.value) : spellNumber(field.value);
        return applyLetterCase(words, item.letterCase);
    }
    if (item.element == DateElement::YearWithComma) {
        text = padded(d.year, 4, item.fillMode);
        if (text.size() > 3)
            text.insert(text.size() - 3, ",");
    } else {
        text = padded(field.value, field.width, item.fillMode);
    }
    // Years are AD only in the stored range, so the signed forms show a blank sign.
    if ((item.element == DateElement::SignedYear || item.element == DateElement::SignedCentury) && !item.fillMode)
        text.insert(0, " ");
    if (item.ordinal)
        text += applyLetterCase(ordinalSuffix(field.value), item.suffixCase);
    return text;
}

std::string wordText(const DateFormatItem &item, const DateTime &d, const DateFormatSettings &settings)
{
    DateLanguage language = settings.language;
    switch (item.element) {
    case DateElement::MonthName:
        return padName(applyLetterCase(monthName(language, d.month, false), item.letterCase),
                       longestMonthName(language), item.fillMode);
    case DateElement::MonthAbbreviation:
        // Japanese abbreviations differ in length (1月, 12月) and are padded like full names.
        return padName(applyLetterCase(monthName(language, d.month, true), item.letterCase),
                       longestMonthName(language), item.fillMode || language == DateLanguage::English);
    case DateElement::DayName:
        return padName(applyLetterCase(dayName(language, dayOfWeek(d), false), item.letterCase),
                       longestDayName(language), item.fillMode);
    case DateElement::DayAbbreviation:
        return applyLetterCase(dayName(language, dayOfWeek(d), true), item.letterCase);
    case DateElement::RomanMonth:
        return padName(applyLetterCase(kRomanMonths[d.month - 1], item.letterCase), 4, item.fillMode);
    case DateElement::YearSpelled:
        return applyLetterCase(spellYear(d.year), item.letterCase);
    case DateElement::SignedYearSpelled:
        return (item.fillMode ? "" : " ") + applyLetterCase(spellYear(d.year), item.letterCase);
    case DateElement::Meridian:
    case DateElement::MeridianWithDots:
        return applyLetterCase(meridianText(language, d.hour >= 12, item.element == DateElement::MeridianWithDots),
                               item.letterCase);
    case DateElement::Era:
    case DateElement::EraWithDots:
        return applyLetterCase(eraText(language, false, item.element == DateElement::EraWithDots), item.letterCase);
    default:
        return {};
    }
}

}  // namespace

std::string formatDateItem(const DateFormatItem &item, const DateTime &date, const DateFormatSettings &settings)
{
    if (item.element == DateElement::Literal)
        return item.text;
    if (isTimestampElement(item.element))
        raiseError(1821);
    if (isNumericElement(item.element))
        return numericText(item, date, settings);
    return wordText(item, date, settings);
}

std::string formatDate(const DateTime &date, std::string_view model, const DateFormatSettings &settings)
{
    return formatDate(date, parseDateFormatModel(model), settings);
}

std::string formatDate(const DateTime &date, const std::vector<DateFormatItem> &model,
                       const DateFormatSettings &settings)
{
    std::string text;
    for (const DateFormatItem &item : model)
        text += formatDateItem(item, date, settings);
    return text;
}

}  // namespace localdb::functions
