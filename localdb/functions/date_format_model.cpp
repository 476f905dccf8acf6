// Splitting date format models into elements.
#include "localdb/functions/ascii_text.h"
#include "localdb/functions/date_format_model.h"

#include "localdb/functions/function_errors.h"


namespace localdb::functions {

namespace {

struct ElementName {
    const char *name;  // upper case
    DateElement element;
};

// Longer names first wherever one name begins another (YYYY before YYY, MONTH before MON).
constexpr ElementName kElements[] = {
    {"SYYYY", DateElement::SignedYear},
    {"SYEAR", DateElement::SignedYearSpelled},
    {"SCC", DateElement::SignedCentury},
    {"Y,YYY", DateElement::YearWithComma},
    {"YYYY", DateElement::Year4},
    {"YYY", DateElement::Year3},
    {"YEAR", DateElement::YearSpelled},
    {"YY", DateElement::Year2},
    {"Y", DateElement::Year1},
    {"IYYY", DateElement::IsoYear4},
    {"IYY", DateElement::IsoYear3},
    {"IW", DateElement::IsoWeek},
    {"IY", DateElement::IsoYear2},
    {"I", DateElement::IsoYear1},
    {"RRRR", DateElement::RoundYear4},
    {"RR", DateElement::RoundYear2},
    {"RM", DateElement::RomanMonth},
    {"CC", DateElement::Century},
    {"Q", DateElement::Quarter},
    {"MONTH", DateElement::MonthName},
    {"MON", DateElement::MonthAbbreviation},
    {"MM", DateElement::Month},
    {"MI", DateElement::Minute},
    {"WW", DateElement::WeekOfYear},
    {"W", DateElement::WeekOfMonth},
    {"DDD", DateElement::DayOfYear},
    {"DAY", DateElement::DayName},
    {"DD", DateElement::DayOfMonth},
    {"DY", DateElement::DayAbbreviation},
    {"D", DateElement::DayOfWeek},
    {"J", DateElement::JulianDay},
    {"HH24", DateElement::Hour24},
    {"HH12", DateElement::Hour12},
    {"HH", DateElement::Hour12},
    {"SSSSS", DateElement::SecondsOfDay},
    {"SS", DateElement::Second},
    {"A.M.", DateElement::MeridianWithDots},
    {"P.M.", DateElement::MeridianWithDots},
    {"AM", DateElement::Meridian},
    {"PM", DateElement::Meridian},
    {"A.D.", DateElement::EraWithDots},
    {"B.C.", DateElement::EraWithDots},
    {"AD", DateElement::Era},
    {"BC", DateElement::Era},
    {"FF", DateElement::Fraction},
    {"X", DateElement::Radix},
    {"TZH", DateElement::ZoneHour},
    {"TZM", DateElement::ZoneMinute},
    {"TZR", DateElement::ZoneRegion},
    {"TZD", DateElement::ZoneAbbreviation},
};

bool matchesAt(std::string_view text, std::size_t pos, std::string_view upperName)
{
    if (text.size() - pos < upperName.size())
        return false;
    for (std::size_t i = 0; i < upperName.size(); ++i) {
        if (ascii::toUpper(text[pos + i]) != upperName[i])
            return false;
    }
    return true;
}


}  // namespace

bool isNumericElement(DateElement element)
{
    switch (element) {
    case DateElement::Literal:
    case DateElement::YearSpelled:
    case DateElement::SignedYearSpelled:
    case DateElement::MonthAbbreviation:
    case DateElement::MonthName:
    case DateElement::RomanMonth:
    case DateElement::DayName:
    case DateElement::DayAbbreviation:
    case DateElement::Meridian:
    case DateElement::MeridianWithDots:
    case DateElement::Era:
    case DateElement::EraWithDots:
        return false;
    default:
        return !isTimestampElement(element);
    }
}

bool isTimestampElement(DateElement element)
{
    switch (element) {
    case DateElement::Fraction:
    case DateElement::Radix:
    case DateElement::ZoneHour:
    case DateElement::ZoneMinute:
    case DateElement::ZoneRegion:
    case DateElement::ZoneAbbreviation:
        return true;
    default:
        return false;
    }
}

std::vector<DateFormatItem> parseDateFormatModel(std::string_view model)
{
    std::vector<DateFormatItem> items;
    bool fillMode = false;
    bool exact = false;
    std::size_t pos = 0;
    auto addLiteral = [&](std::string text) {
        // Adjacent literals merge so that matching treats "-/" as one separator run.
        if (!items.empty() && items.back().element == DateElement::Literal && !items.back().quoted
            && items.back().exact == exact) {
            items.back().text += text;
            return;
        }
        DateFormatItem item;
        item.text = std::move(text);
        item.fillMode = fillMode;
        item.exact = exact;
        items.push_back(std::move(item));
    };
    while (pos < model.size()) {
        char c = model[pos];
        if (c == '"') {
            std::size_t close = model.find('"', pos + 1);
            if (close == std::string_view::npos)
                raiseError(1821);
            DateFormatItem item;
            item.text = std::string(model.substr(pos + 1, close - pos - 1));
            item.fillMode = fillMode;
            item.exact = exact;
            // A quoted literal is kept apart: its text must match in TO_DATE.
            item.quoted = true;
            items.push_back(std::move(item));
            pos = close + 1;
            continue;
        }
        if (static_cast<unsigned char>(c) < 0x80 && !ascii::isAlnum(c)) {
            addLiteral(std::string(1, c));
            ++pos;
            continue;
        }
        if (matchesAt(model, pos, "FM")) {
            fillMode = !fillMode;
            pos += 2;
            continue;
        }
        if (matchesAt(model, pos, "FX")) {
            exact = !exact;
            pos += 2;
            continue;
        }
        const ElementName *found = nullptr;
        for (const ElementName &candidate : kElements) {
            if (matchesAt(model, pos, candidate.name)) {
                found = &candidate;
                break;
            }
        }
        if (!found)
            raiseError(1821);
        DateFormatItem item;
        item.element = found->element;
        std::size_t length = std::string_view(found->name).size();
        item.text = std::string(model.substr(pos, length));
        item.letterCase = letterCaseOf(item.text);
        item.fillMode = fillMode;
        item.exact = exact;
        pos += length;
        if (item.element == DateElement::Fraction && pos < model.size() && model[pos] >= '1' && model[pos] <= '9') {
            item.digits = model[pos] - '0';
            item.text += model[pos++];
        }
        if (isNumericElement(item.element)) {
            // Suffixes: TH, SP, SPTH, THSP, in any letter case.
            for (const char *suffix : {"SPTH", "THSP", "TH", "SP"}) {
                if (matchesAt(model, pos, suffix)) {
                    std::string_view written = model.substr(pos, std::string_view(suffix).size());
                    item.spelled = std::string_view(suffix).find("SP") != std::string_view::npos;
                    item.ordinal = std::string_view(suffix).find("TH") != std::string_view::npos;
                    item.suffixCase = letterCaseOf(written);
                    pos += written.size();
                    break;
                }
            }
        }
        items.push_back(std::move(item));
    }
    return items;
}

}  // namespace localdb::functions
