// TO_DATE: text read through a date format model.
#include "localdb/functions/ascii_text.h"
#include "localdb/functions/date_calendar.h"
#include "localdb/functions/date_format.h"
#include "localdb/functions/date_format_model.h"
#include "localdb/functions/function_errors.h"

#include <optional>

namespace localdb::functions {

namespace {

enum class YearForm { Full, Century, RoundCentury, Millennium, Decade };


struct Fields {
    std::optional<int> year;
    YearForm yearForm = YearForm::Full;
    int yearDigits = 0;
    std::optional<int> month;
    std::optional<int> day;
    std::optional<int> dayOfYear;
    std::optional<long> julian;
    std::optional<int> hour12;
    std::optional<int> hour24;
    std::optional<int> minute;
    std::optional<int> second;
    std::optional<long> secondsOfDay;
    std::optional<bool> pm;
    bool bc = false;
};

bool isTimeElement(DateElement element)
{
    switch (element) {
    case DateElement::Hour12:
    case DateElement::Hour24:
    case DateElement::Minute:
    case DateElement::Second:
    case DateElement::SecondsOfDay:
    case DateElement::Meridian:
    case DateElement::MeridianWithDots:
        return true;
    default:
        return isTimestampElement(element);
    }
}

class DateParser {
public:
    DateParser(std::string_view text, const DateFormatSettings &settings, TimestampParts *parts)
        : text_(text), settings_(settings), parts_(parts) {}

    DateTime parse(const std::vector<DateFormatItem> &items)
    {
        for (std::size_t i = 0; i < items.size(); ++i) {
            const DateFormatItem &item = items[i];
            if (item.element == DateElement::Literal) {
                matchLiteral(item);
                continue;
            }
            if (!item.exact)
                skipSeparators();
            if (pos_ >= text_.size()) {
                // Text that ends before the time of day ('2004-01-05' read by
                // 'YYYY-MM-DD HH24:MI:SS') means midnight; ending before a date field is an error.
                if (!item.exact && isTimeElement(item.element))
                    continue;
                raiseError(1840);
            }
            if (isTimestampElement(item.element))
                readTimestampElement(item);
            else if (isNumericElement(item.element))
                readNumber(item, nextIsNumeric(items, i));
            else
                readWord(item);
        }
        while (pos_ < text_.size() && text_[pos_] == ' ')
            ++pos_;
        if (pos_ < text_.size())
            raiseError(1830);
        return resolve();
    }

private:
    static bool nextIsNumeric(const std::vector<DateFormatItem> &items, std::size_t i)
    {
        return i + 1 < items.size() && items[i + 1].element != DateElement::Literal
               && isNumericElement(items[i + 1].element);
    }

    void skipSeparators()
    {
        while (pos_ < text_.size() && static_cast<unsigned char>(text_[pos_]) < 0x80 && !ascii::isAlnum(text_[pos_]))
            ++pos_;
    }

    void matchLiteral(const DateFormatItem &item)
    {
        if (item.quoted) {
            if (!item.exact)
                while (pos_ < text_.size() && text_[pos_] == ' ')
                    ++pos_;
            if (!startsWithIgnoringCase(item.text))
                raiseError(1861);
            pos_ += item.text.size();
            return;
        }
        if (item.exact) {
            if (text_.substr(pos_, item.text.size()) != item.text)
                raiseError(1861);
            pos_ += item.text.size();
            return;
        }
        // Punctuation in the model matches any run of punctuation and blanks, even none.
        skipSeparators();
    }

    bool startsWithIgnoringCase(std::string_view word) const
    {
        if (text_.size() - pos_ < word.size())
            return false;
        for (std::size_t i = 0; i < word.size(); ++i) {
            if (ascii::toUpper(text_[pos_ + i]) != ascii::toUpper(word[i]))
                return false;
        }
        return true;
    }

    template <typename T>
    void assign(std::optional<T> &field, T value)
    {
        if (field)
            raiseError(1810);
        field = value;
    }

    static int widthOf(DateElement element, bool nextIsNumeric)
    {
        switch (element) {
        case DateElement::SignedYear:
        case DateElement::Year4:
        case DateElement::RoundYear4:
        case DateElement::YearWithComma:
            return 4;
        case DateElement::Year3:
            return 3;
        case DateElement::Year2:
        case DateElement::RoundYear2:
            // A two-digit year element also reads a four-digit year when nothing numeric follows.
            return nextIsNumeric ? 2 : 4;
        case DateElement::Year1:
        case DateElement::DayOfWeek:
            return 1;
        case DateElement::DayOfYear:
            return 3;
        case DateElement::JulianDay:
            return 7;
        case DateElement::SecondsOfDay:
            return 5;
        default:
            return 2;
        }
    }

    void readNumber(const DateFormatItem &item, bool nextIsNumeric)
    {
        switch (item.element) {
        case DateElement::Quarter:
        case DateElement::WeekOfYear:
        case DateElement::IsoWeek:
        case DateElement::WeekOfMonth:
        case DateElement::Century:
        case DateElement::SignedCentury:
        case DateElement::IsoYear4:
        case DateElement::IsoYear3:
        case DateElement::IsoYear2:
        case DateElement::IsoYear1:
            raiseError(1820);
        default:
            break;
        }
        if (item.spelled)
            raiseError(1820);
        bool negative = false;
        if (item.element == DateElement::SignedYear && (text_[pos_] == '-' || text_[pos_] == '+')) {
            negative = text_[pos_] == '-';
            ++pos_;
        }
        int width = widthOf(item.element, nextIsNumeric);
        long value = 0;
        int digits = 0;
        while (pos_ < text_.size() && digits < width) {
            char c = text_[pos_];
            if (item.element == DateElement::YearWithComma && c == ',' && digits == 1) {
                ++pos_;
                continue;
            }
            if (!ascii::isDigit(c))
                break;
            value = value * 10 + (c - '0');
            ++digits;
            ++pos_;
        }
        if (digits == 0)
            raiseError(pos_ >= text_.size() ? 1840 : 1858);
        if (item.exact && !item.fillMode && digits < widthOf(item.element, true))
            raiseError(1862);
        if (item.ordinal)
            skipOrdinalSuffix();
        store(item.element, negative ? -value : value, digits);
    }

    // FF, X and the zone fields, which only TO_TIMESTAMP and TO_TIMESTAMP_TZ read.
    void readTimestampElement(const DateFormatItem &item)
    {
        if (!parts_)
            raiseError(1821);
        auto readDigits = [&](int most) {
            std::string digits;
            while (pos_ < text_.size() && ascii::isDigit(text_[pos_]) && static_cast<int>(digits.size()) < most)
                digits += text_[pos_++];
            if (digits.empty())
                raiseError(1858);
            return digits;
        };
        switch (item.element) {
        case DateElement::Radix:
            if (text_[pos_] == '.' || text_[pos_] == ',')
                ++pos_;
            return;
        case DateElement::Fraction: {
            std::string digits = readDigits(9);
            digits.append(9 - digits.size(), '0');
            parts_->nanos = std::stoi(digits);
            return;
        }
        case DateElement::ZoneHour: {
            int sign = 1;
            if (text_[pos_] == '+' || text_[pos_] == '-')
                sign = text_[pos_++] == '-' ? -1 : 1;
            else if (pos_ > 0 && text_[pos_ - 1] == '-')
                sign = -1;  // the separator skipped before the hours was the sign
            int hours = std::stoi(readDigits(2));
            if (hours > 14)
                raiseError(1874);
            parts_->hasZoneHour = true;
            parts_->zoneHour = sign * hours;
            parts_->zoneMinute = sign < 0 ? -parts_->zoneMinute : parts_->zoneMinute;
            return;
        }
        case DateElement::ZoneMinute: {
            int minutes = std::stoi(readDigits(2));
            if (minutes > 59)
                raiseError(1875);
            parts_->zoneMinute = parts_->zoneHour < 0 ? -minutes : minutes;
            return;
        }
        case DateElement::ZoneRegion: {
            std::size_t start = pos_;
            while (pos_ < text_.size() && (ascii::isAlnum(text_[pos_]) || text_[pos_] == '/' || text_[pos_] == '_' ||
                                           text_[pos_] == '+' || text_[pos_] == '-' || text_[pos_] == ':'))
                ++pos_;
            parts_->zoneRegion = std::string(text_.substr(start, pos_ - start));
            return;
        }
        default:  // TZD: the abbreviation follows from the region; it is read and passed over
            while (pos_ < text_.size() && ascii::isAlpha(text_[pos_]))
                ++pos_;
            return;
        }
    }

    void skipOrdinalSuffix()
    {
        for (const char *suffix : {"ST", "ND", "RD", "TH"}) {
            if (startsWithIgnoringCase(suffix)) {
                pos_ += 2;
                return;
            }
        }
        raiseError(1861);
    }

    void store(DateElement element, long value, int digits)
    {
        switch (element) {
        case DateElement::SignedYear:
        case DateElement::Year4:
        case DateElement::YearWithComma:
            setYear(static_cast<int>(value), YearForm::Full, digits);
            break;
        case DateElement::RoundYear4:
        case DateElement::RoundYear2:
            setYear(static_cast<int>(value), YearForm::RoundCentury, digits);
            break;
        case DateElement::Year3:
            setYear(static_cast<int>(value), YearForm::Millennium, digits);
            break;
        case DateElement::Year2:
            setYear(static_cast<int>(value), YearForm::Century, digits);
            break;
        case DateElement::Year1:
            setYear(static_cast<int>(value), YearForm::Decade, digits);
            break;
        case DateElement::Month:
            if (value < 1 || value > 12)
                raiseError(1843);
            setMonth(static_cast<int>(value), element);
            break;
        case DateElement::DayOfMonth:
            if (value < 1 || value > 31)
                raiseError(1847);
            assign(fields_.day, static_cast<int>(value));
            break;
        case DateElement::DayOfYear:
            if (value < 1 || value > 366)
                raiseError(1848);
            assign(fields_.dayOfYear, static_cast<int>(value));
            break;
        case DateElement::DayOfWeek:
            // Read and checked for range only; the date comes from the other fields.
            if (value < 1 || value > 7)
                raiseError(1846);
            break;
        case DateElement::JulianDay:
            if (value < 1 || value > 5373484)
                raiseError(1854);
            assign(fields_.julian, value);
            break;
        case DateElement::Hour12:
            if (value < 1 || value > 12)
                raiseError(1849);
            assign(fields_.hour12, static_cast<int>(value));
            break;
        case DateElement::Hour24:
            if (value > 23)
                raiseError(1850);
            assign(fields_.hour24, static_cast<int>(value));
            break;
        case DateElement::Minute:
            if (value > 59)
                raiseError(1851);
            assign(fields_.minute, static_cast<int>(value));
            break;
        case DateElement::Second:
            if (value > 59)
                raiseError(1852);
            assign(fields_.second, static_cast<int>(value));
            break;
        case DateElement::SecondsOfDay:
            if (value > 86399)
                raiseError(1853);
            assign(fields_.secondsOfDay, value);
            break;
        default:
            break;
        }
    }

    void setYear(int value, YearForm form, int digits)
    {
        assign(fields_.year, value);
        fields_.yearForm = form;
        fields_.yearDigits = digits;
    }

    // The same month element twice is ORA-01810; two different ones (MM and MON) ORA-01816.
    void setMonth(int month, DateElement element)
    {
        if (fields_.month)
            raiseError(element == monthElement_ ? 1810 : 1816);
        fields_.month = month;
        monthElement_ = element;
    }

    // Longest candidate that the input starts with (case-insensitive); -1 when none.
    template <typename NameOf>
    int matchName(int count, NameOf nameOf, std::size_t &length)
    {
        int best = -1;
        length = 0;
        for (int i = 0; i < count; ++i) {
            std::string name = nameOf(i);
            if (name.size() > length && startsWithIgnoringCase(name)) {
                best = i;
                length = name.size();
            }
        }
        return best;
    }

    void readWord(const DateFormatItem &item)
    {
        DateLanguage language = settings_.language;
        std::size_t length = 0;
        switch (item.element) {
        case DateElement::MonthName:
        case DateElement::MonthAbbreviation: {
            // Either spelling is accepted whichever element the model has.
            int month = matchName(24, [&](int i) { return monthName(language, i % 12 + 1, i >= 12); }, length);
            if (month < 0)
                raiseError(1843);
            pos_ += length;
            setMonth(month % 12 + 1, DateElement::MonthName);
            return;
        }
        case DateElement::RomanMonth: {
            static const char *const kRoman[] = {"I", "II", "III", "IV", "V", "VI",
                                                 "VII", "VIII", "IX", "X", "XI", "XII"};
            int month = matchName(12, [&](int i) { return std::string(kRoman[i]); }, length);
            if (month < 0)
                raiseError(1843);
            pos_ += length;
            setMonth(month + 1, item.element);
            return;
        }
        case DateElement::DayName:
        case DateElement::DayAbbreviation: {
            int day = matchName(14, [&](int i) { return dayName(language, i % 7, i >= 7); }, length);
            if (day < 0)
                raiseError(1846);
            pos_ += length;
            return;
        }
        case DateElement::Meridian:
        case DateElement::MeridianWithDots: {
            int which = matchName(4, [&](int i) { return meridianText(language, i % 2 == 1, i >= 2); }, length);
            if (which < 0)
                raiseError(1855);
            if (fields_.pm)
                raiseError(1810);
            fields_.pm = which % 2 == 1;
            pos_ += length;
            return;
        }
        case DateElement::Era:
        case DateElement::EraWithDots: {
            int which = matchName(4, [&](int i) { return eraText(language, i % 2 == 1, i >= 2); }, length);
            if (which < 0)
                raiseError(1856);
            fields_.bc = which % 2 == 1;
            pos_ += length;
            return;
        }
        default:
            // YEAR and SYEAR cannot be read back.
            raiseError(1820);
        }
    }

    int resolveYear() const
    {
        const DateTime &now = settings_.now;
        if (!fields_.year)
            return now.year;
        int value = *fields_.year;
        switch (fields_.yearForm) {
        case YearForm::Full:
            return value;
        case YearForm::Century:
            return fields_.yearDigits > 2 ? value : now.year - now.year % 100 + value;
        case YearForm::RoundCentury: {
            if (fields_.yearDigits > 2)
                return value;
            // 00-49 and 50-99 fall in the century that keeps the year closest to now.
            int century = now.year - now.year % 100;
            bool nowInFirstHalf = now.year % 100 < 50;
            if (value < 50)
                return nowInFirstHalf ? century + value : century + 100 + value;
            return nowInFirstHalf ? century - 100 + value : century + value;
        }
        case YearForm::Millennium:
            return fields_.yearDigits > 3 ? value : now.year - now.year % 1000 + value;
        case YearForm::Decade:
            return now.year - now.year % 10 + value;
        }
        return value;
    }

    DateTime resolve() const
    {
        DateTime date;
        if (fields_.julian) {
            civilFromDays(*fields_.julian - kJulianDayOfEpoch, date.year, date.month, date.day);
            if (fields_.dayOfYear)
                raiseError(1811);
        } else {
            date.year = resolveYear();
            if (fields_.bc || date.year < 1 || date.year > 9999)
                raiseError(1841);
            if (fields_.dayOfYear) {
                int days = isLeapYear(date.year) ? 366 : 365;
                if (*fields_.dayOfYear > days)
                    raiseError(1848);
                civilFromDays(daysFromCivil(date.year, 1, 1) + *fields_.dayOfYear - 1, date.year, date.month,
                              date.day);
            } else {
                date.month = fields_.month.value_or(settings_.now.month);
                date.day = fields_.day.value_or(1);
                if (date.day > daysInMonth(date.year, date.month))
                    raiseError(1839);
            }
        }
        if (fields_.hour24 && fields_.pm)
            raiseError(1818);
        if (fields_.secondsOfDay) {
            date.hour = static_cast<int>(*fields_.secondsOfDay / 3600);
            date.minute = static_cast<int>(*fields_.secondsOfDay / 60 % 60);
            date.second = static_cast<int>(*fields_.secondsOfDay % 60);
        }
        if (fields_.hour24)
            date.hour = *fields_.hour24;
        if (fields_.hour12)
            date.hour = *fields_.hour12 % 12 + (fields_.pm.value_or(false) ? 12 : 0);
        else if (fields_.pm && *fields_.pm && !fields_.hour24 && date.hour < 12)
            date.hour += 12;
        if (fields_.minute)
            date.minute = *fields_.minute;
        if (fields_.second)
            date.second = *fields_.second;
        return date;
    }

    std::string_view text_;
    const DateFormatSettings &settings_;
    TimestampParts *parts_;
    std::size_t pos_ = 0;
    Fields fields_;
    DateElement monthElement_ = DateElement::Literal;
};

}  // namespace

DateTime parseDate(std::string_view text, std::string_view model, const DateFormatSettings &settings)
{
    // A DATE has no fraction or zone: their elements are not date format elements at all.
    const std::vector<DateFormatItem> items = parseDateFormatModel(model);
    for (const DateFormatItem &item : items)
        if (isTimestampElement(item.element))
            raiseError(1821);
    return DateParser(text, settings, nullptr).parse(items);
}

DateTime parseDateParts(std::string_view text, std::string_view model, const DateFormatSettings &settings,
                        TimestampParts *parts)
{
    return DateParser(text, settings, parts).parse(parseDateFormatModel(model));
}

}  // namespace localdb::functions
