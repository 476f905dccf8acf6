// JSON_TABLE as a SQLite table-valued function: kdb_json_table(document, description) gives the
// rows of the document that the description (written by the parser, see parser_json.cpp) asks
// for, in columns c0, c1, ... Being a table-valued function, its document argument may name
// columns of the FROM items before it, as JSON_TABLE's may.
//
// Rows: one per item of the row path; a NESTED PATH joins the items of its own path to its
// parent's row as an outer join (a parent without items keeps one row with NULLs), and sibling
// NESTED PATHs give their rows one after the other. Values follow JSON_VALUE's default NULL ON
// ERROR: a missing, non-scalar or unconvertible value is NULL, and a document that is not JSON
// gives no rows.
#include "localdb/functions/json_functions.h"

#include "localdb/functions/date_calendar.h"
#include "localdb/functions/decimal_number.h"
#include "localdb/functions/json_path.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace localdb::functions {

namespace {

constexpr int kMaxColumns = 200;
constexpr int kDocumentColumn = kMaxColumns;
constexpr int kSpecColumn = kMaxColumns + 1;

struct Column {
    char kind = 'v';  // o ordinality, v value, e exists, q JSON text, n nested path
    char type = 'T';  // N number, T text, D date
    int index = 0;
    std::optional<JsonPath> path;
    std::string name;  // the field a column without PATH reads, matched ignoring case
    std::vector<Column> nested;
};

struct Cell {
    bool null = true;
    char type = 'T';
    std::string text;
};
using Row = std::vector<Cell>;

const JsonValue *member(const JsonValue &object, std::string_view key)
{
    for (const auto &[name, value] : object.members) {
        if (name == key)
            return &value;
    }
    return nullptr;
}

std::string textMember(const JsonValue &object, std::string_view key)
{
    const JsonValue *v = member(object, key);
    return v && v->kind == JsonValue::String ? v->text : std::string();
}

bool sameIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t k = 0; k < a.size(); ++k) {
        char x = a[k] >= 'a' && a[k] <= 'z' ? char(a[k] - 32) : a[k];
        char y = b[k] >= 'a' && b[k] <= 'z' ? char(b[k] - 32) : b[k];
        if (x != y)
            return false;
    }
    return true;
}

std::vector<Column> columnsOf(const JsonValue *list)
{
    std::vector<Column> columns;
    if (!list || list->kind != JsonValue::Array)
        return columns;
    for (const JsonValue &item : list->items) {
        Column c;
        std::string kind = textMember(item, "k");
        c.kind = kind.empty() ? 'v' : kind[0];
        std::string type = textMember(item, "t");
        c.type = type.empty() ? 'T' : type[0];
        if (const JsonValue *index = member(item, "i"))
            c.index = std::stoi(index->text);
        std::string path = textMember(item, "p");
        if (member(item, "ci") && path.size() > 2)
            c.name = path.substr(2);
        else
            c.path = parseJsonPath(path);
        if (c.kind != 'o' && c.name.empty() && !c.path)
            throw Error(40597, "ORA-40597: JSON path expression syntax error ('" + path + "')");
        c.nested = columnsOf(member(item, "c"));
        columns.push_back(std::move(c));
    }
    return columns;
}

std::vector<const JsonValue *> found(const Column &c, const JsonValue &item)
{
    if (c.path)
        return evaluateJsonPath(*c.path, item);
    std::vector<const JsonValue *> result;
    if (item.kind == JsonValue::Object) {
        for (const auto &[name, value] : item.members) {
            if (sameIgnoringCase(name, c.name)) {
                result.push_back(&value);
                break;
            }
        }
    }
    return result;
}

Cell scalarCell(const JsonValue &v, char type)
{
    Cell cell;
    cell.type = type;
    std::string text;
    switch (v.kind) {
    case JsonValue::True: text = "true"; break;
    case JsonValue::False: text = "false"; break;
    case JsonValue::Number:
    case JsonValue::String: text = v.text; break;
    default: return cell;
    }
    if (type == 'N') {
        if (!DecimalNumber::parse(text))
            return cell;
    } else if (type == 'D') {
        std::string storage = text.size() > 10 ? text.substr(0, 10) + " " + text.substr(11, 8) : text;
        auto date = parseStorageDate(storage);
        if (!date)
            return cell;
        text = storageText(*date);
    }
    cell.null = text.empty();
    cell.text = std::move(text);
    return cell;
}

Cell cellOf(const Column &c, const JsonValue &item, std::size_t ordinal)
{
    Cell cell;
    cell.type = c.type;
    if (c.kind == 'o') {
        cell.type = 'N';
        cell.null = false;
        cell.text = std::to_string(ordinal);
        return cell;
    }
    std::vector<const JsonValue *> values = found(c, item);
    if (c.kind == 'e') {
        cell.null = false;
        cell.text = c.type == 'N' ? (values.empty() ? "0" : "1") : (values.empty() ? "false" : "true");
        return cell;
    }
    if (values.size() != 1)
        return cell;
    if (c.kind == 'q') {
        if (values.front()->isScalar())
            return cell;
        cell.type = 'T';
        cell.null = false;
        cell.text = serializeJson(*values.front());
        return cell;
    }
    return scalarCell(*values.front(), c.type);
}

// The rows of one COLUMNS level over the items its path selects from context.
void levelRows(const std::vector<Column> &columns, const JsonPath &path, const JsonValue &context, std::size_t width,
               std::vector<Row> &out)
{
    std::vector<const JsonValue *> items = evaluateJsonPath(path, context);
    for (std::size_t k = 0; k < items.size(); ++k) {
        Row base(width);
        std::vector<Row> nestedRows;
        for (const Column &c : columns) {
            if (c.kind == 'n') {
                if (c.path)
                    levelRows(c.nested, *c.path, *items[k], width, nestedRows);
                continue;
            }
            if (std::size_t(c.index) < width)
                base[std::size_t(c.index)] = cellOf(c, *items[k], k + 1);
        }
        if (nestedRows.empty()) {
            out.push_back(std::move(base));
            continue;
        }
        for (Row &nested : nestedRows) {
            for (std::size_t i = 0; i < width; ++i) {
                if (nested[i].null)
                    nested[i] = base[i];
            }
            out.push_back(std::move(nested));
        }
    }
}

struct Cursor : sqlite3_vtab_cursor {
    std::vector<Row> rows;
    std::size_t at = 0;
};

int connect(sqlite3 *db, void *, int, const char *const *, sqlite3_vtab **table, char **)
{
    std::string schema = "CREATE TABLE x(";
    for (int i = 0; i < kMaxColumns; ++i)
        schema += "c" + std::to_string(i) + ", ";
    schema += "document HIDDEN, spec HIDDEN)";
    int rc = sqlite3_declare_vtab(db, schema.c_str());
    if (rc != SQLITE_OK)
        return rc;
    auto *vtab = static_cast<sqlite3_vtab *>(sqlite3_malloc(sizeof(sqlite3_vtab)));
    if (!vtab)
        return SQLITE_NOMEM;
    *vtab = sqlite3_vtab{};
    *table = vtab;
    return SQLITE_OK;
}

int disconnect(sqlite3_vtab *table)
{
    sqlite3_free(table);
    return SQLITE_OK;
}

// Both arguments must be known before the rows can be produced.
int bestIndex(sqlite3_vtab *, sqlite3_index_info *info)
{
    int document = -1, spec = -1;
    for (int i = 0; i < info->nConstraint; ++i) {
        const auto &c = info->aConstraint[i];
        if (c.op != SQLITE_INDEX_CONSTRAINT_EQ)
            continue;
        if (!c.usable && (c.iColumn == kDocumentColumn || c.iColumn == kSpecColumn))
            return SQLITE_CONSTRAINT;
        if (c.iColumn == kDocumentColumn)
            document = i;
        else if (c.iColumn == kSpecColumn)
            spec = i;
    }
    if (document < 0 || spec < 0)
        return SQLITE_CONSTRAINT;
    info->aConstraintUsage[document].argvIndex = 1;
    info->aConstraintUsage[document].omit = 1;
    info->aConstraintUsage[spec].argvIndex = 2;
    info->aConstraintUsage[spec].omit = 1;
    info->estimatedCost = 10;
    info->estimatedRows = 10;
    return SQLITE_OK;
}

int open(sqlite3_vtab *, sqlite3_vtab_cursor **cursor)
{
    *cursor = new (std::nothrow) Cursor();
    return *cursor ? SQLITE_OK : SQLITE_NOMEM;
}

int close(sqlite3_vtab_cursor *cursor)
{
    delete static_cast<Cursor *>(cursor);
    return SQLITE_OK;
}

std::string textOf(sqlite3_value *value)
{
    const unsigned char *text = sqlite3_value_text(value);
    return text ? std::string(reinterpret_cast<const char *>(text), std::size_t(sqlite3_value_bytes(value))) : std::string();
}

int filter(sqlite3_vtab_cursor *base, int, const char *, int argc, sqlite3_value **argv)
{
    auto *cursor = static_cast<Cursor *>(base);
    cursor->rows.clear();
    cursor->at = 0;
    try {
        if (argc < 2 || sqlite3_value_type(argv[0]) == SQLITE_NULL)
            return SQLITE_OK;
        std::optional<JsonValue> spec = parseJson(textOf(argv[1]), JsonSyntax::Strict).value;
        if (!spec)
            return SQLITE_ERROR;
        std::optional<JsonPath> rowPath = parseJsonPath(textMember(*spec, "p"));
        if (!rowPath)
            throw Error(40597, "ORA-40597: JSON path expression syntax error ('" + textMember(*spec, "p") + "')");
        std::vector<Column> columns = columnsOf(member(*spec, "c"));
        std::optional<JsonValue> document = parseJson(textOf(argv[0]), JsonSyntax::Lax).value;
        if (document)
            levelRows(columns, *rowPath, *document, kMaxColumns, cursor->rows);
    } catch (const Error &e) {
        sqlite3_free(base->pVtab->zErrMsg);
        base->pVtab->zErrMsg = sqlite3_mprintf("%s", e.what());
        return SQLITE_ERROR;
    } catch (const std::bad_alloc &) {
        return SQLITE_NOMEM;
    }
    return SQLITE_OK;
}

int next(sqlite3_vtab_cursor *cursor)
{
    ++static_cast<Cursor *>(cursor)->at;
    return SQLITE_OK;
}

int eof(sqlite3_vtab_cursor *base)
{
    auto *cursor = static_cast<Cursor *>(base);
    return cursor->at >= cursor->rows.size();
}

int column(sqlite3_vtab_cursor *base, sqlite3_context *context, int i)
{
    auto *cursor = static_cast<Cursor *>(base);
    if (i < 0 || i >= kMaxColumns)
        return SQLITE_OK;
    const Cell &cell = cursor->rows[cursor->at][std::size_t(i)];
    if (cell.null)
        return SQLITE_OK;
    if (cell.type == 'N') {
        auto number = DecimalNumber::parse(cell.text);
        if (auto integer = number ? number->toInt64() : std::nullopt)
            sqlite3_result_int64(context, *integer);
        else
            sqlite3_result_double(context, number ? number->toDouble() : 0);
        return SQLITE_OK;
    }
    sqlite3_result_text64(context, cell.text.data(), cell.text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    return SQLITE_OK;
}

int rowid(sqlite3_vtab_cursor *base, sqlite3_int64 *id)
{
    *id = sqlite3_int64(static_cast<Cursor *>(base)->at);
    return SQLITE_OK;
}

sqlite3_module jsonTableModule()
{
    sqlite3_module m{};
    m.xConnect = connect;
    m.xBestIndex = bestIndex;
    m.xDisconnect = disconnect;
    m.xOpen = open;
    m.xClose = close;
    m.xFilter = filter;
    m.xNext = next;
    m.xEof = eof;
    m.xColumn = column;
    m.xRowid = rowid;
    return m;
}

}  // namespace

void registerJsonTableModule(sqlite3 *db)
{
    static const sqlite3_module module = jsonTableModule();
    sqlite3_create_module_v2(db, "kdb_json_table", &module, nullptr, nullptr);
}

}  // namespace localdb::functions
