// One line of the worksheet's CSV export: the fields of a record, by their type codes, in code
// page 932, ended by CR LF. Texts are quoted as they are (inner quotes, commas and line breaks
// unchanged); dates as "yyyy/mm/dd" without the time; numbers rounded to whole numbers with
// halves to the even neighbour, unquoted; nulls as two quotes for texts and dates and as nothing
// for numbers.
#pragma once

#include "db/variant.h"

#include <string>

namespace worksheet {

// Appends one field (without its separating comma).
void AppendCsvField(std::string &line, int typeCode, const db::Variant &value);

} // namespace worksheet
