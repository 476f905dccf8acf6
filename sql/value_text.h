// Text forms of field values as the worksheet writes them into its grid and its CSV files.
#pragma once

#include "db/variant.h"

#include <string>

namespace worksheet {

// Integers in decimal, doubles with up to 15 significant digits, text as it is, dates
// "yyyy/mm/dd" (with " hh:nn:ss" when withTime and not midnight), binary as hexadecimal.
void AppendValueText(std::string &text, const db::Variant &value, bool withTime);

// The value rounded to a whole number (halves to the even neighbour), in decimal; numbers held
// as text are read first; anything else appends nothing.
void AppendWholeNumber(std::string &text, const db::Variant &value);

// The grid cell of a field value by its type code: nothing for null and for codes the grid does
// not show (hasText false); 3 rounded to a whole number; 4, 7, 8, 10, 12 the text form.
std::string GridCellText(int typeCode, const db::Variant &value, bool &hasText);

} // namespace worksheet
