// The fields of a CSV line.
#include "sql/csv_line.h"

#include "sql/value_text.h"

namespace worksheet {

void AppendCsvField(std::string &line, int typeCode, const db::Variant &value)
{
    switch (typeCode) {
    case 10:
    case 11:
    case 12:
    case 8:
        line += '"';
        AppendValueText(line, value, false);
        line += '"';
        break;
    case 3:
    case 4:
    case 7: AppendWholeNumber(line, value); break;
    default: break;
    }
}

} // namespace worksheet
