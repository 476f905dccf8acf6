// Values kept by the engine's window functions and the sort order they are ranked in.
#include "localdb/functions/window_support.h"

#include <cstring>

namespace localdb::functions {

Cell Cell::of(sqlite3_value *v)
{
    Cell c;
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
        c.value = std::int64_t(sqlite3_value_int64(v));
        break;
    case SQLITE_FLOAT:
        c.value = sqlite3_value_double(v);
        break;
    case SQLITE_TEXT:
        c.value = std::string(reinterpret_cast<const char *>(sqlite3_value_text(v)), size_t(sqlite3_value_bytes(v)));
        break;
    case SQLITE_BLOB: {
        const void *bytes = sqlite3_value_blob(v);
        c.value = std::string(static_cast<const char *>(bytes), size_t(sqlite3_value_bytes(v)));
        c.blob = true;
        break;
    }
    default:
        break;
    }
    return c;
}

void Cell::setResult(sqlite3_context *context) const
{
    switch (value.index()) {
    case 1:
        sqlite3_result_int64(context, std::get<std::int64_t>(value));
        break;
    case 2:
        sqlite3_result_double(context, std::get<double>(value));
        break;
    case 3: {
        const std::string &s = std::get<std::string>(value);
        if (blob)
            sqlite3_result_blob(context, s.data(), int(s.size()), SQLITE_TRANSIENT);
        else
            sqlite3_result_text(context, s.data(), int(s.size()), SQLITE_TRANSIENT);
        break;
    }
    default:
        sqlite3_result_null(context);
    }
}

int compareValues(const Cell &a, const Cell &b)
{
    const bool aText = a.value.index() == 3, bText = b.value.index() == 3;
    if (aText != bText)
        return aText ? 1 : -1;
    if (aText) {
        int c = std::get<std::string>(a.value).compare(std::get<std::string>(b.value));
        return c < 0 ? -1 : c > 0 ? 1 : 0;
    }
    if (a.value.index() == 1 && b.value.index() == 1) {
        auto x = std::get<std::int64_t>(a.value), y = std::get<std::int64_t>(b.value);
        return x < y ? -1 : x > y ? 1 : 0;
    }
    auto real = [](const Cell &c) {
        return c.value.index() == 1 ? double(std::get<std::int64_t>(c.value)) : std::get<double>(c.value);
    };
    double x = real(a), y = real(b);
    return x < y ? -1 : x > y ? 1 : 0;
}

SortSpec::SortSpec(std::string_view letters) : letters_(letters)
{
    if (letters_.size() % 2)
        letters_.pop_back();
}

int SortSpec::compare(const std::vector<Cell> &a, const std::vector<Cell> &b) const
{
    for (size_t k = 0; k < keys() && k < a.size() && k < b.size(); ++k) {
        const bool descending = letters_[2 * k] == 'D';
        const bool nullsFirst = letters_[2 * k + 1] == 'F';
        const Cell &x = a[k], &y = b[k];
        if (x.isNull() || y.isNull()) {
            if (x.isNull() && y.isNull())
                continue;
            return x.isNull() == nullsFirst ? -1 : 1;
        }
        int c = compareValues(x, y);
        if (c)
            return descending ? -c : c;
    }
    return 0;
}

}  // namespace localdb::functions
