// Dates and text through date format models: TO_CHAR(date, fmt) and TO_DATE(text, fmt).
#pragma once

#include "localdb/functions/date_names.h"
#include "localdb/localdb.h"

#include <string>
#include <string_view>

namespace localdb::functions {

struct DateFormatSettings {
    DateLanguage language = DateLanguage::English;
    int firstDayOfWeek = 0;  // 0 Sunday, 1 Monday (element D)
    // The clock TO_DATE takes missing fields from (current year and month) and the RR century
    // rule works against.
    DateTime now{2000, 1, 1, 0, 0, 0};
};

// Throws ORA-01821 for an unknown element.
std::string formatDate(const DateTime &date, std::string_view model, const DateFormatSettings &settings = {});

// Lenient matching unless FX: punctuation need not match, leading zeros may be missing; fields
// absent from the model default to the current year and month, day 1, midnight. Throws Oracle's
// date errors (ORA-01830, 01840, 01841, 01843, 01847, 01858, 01861 ...).
DateTime parseDate(std::string_view text, std::string_view model, const DateFormatSettings &settings = {});

}  // namespace localdb::functions
