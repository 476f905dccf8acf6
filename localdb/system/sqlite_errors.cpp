// SQLite failures to ORA errors.
#include "localdb/system/sqlite_errors.h"

#include "localdb/catalog/catalog.h"
#include "localdb/system/errors.h"

#include <sqlite3.h>

#include <algorithm>
#include <vector>

namespace localdb {
namespace {

struct ColumnPath {
    std::string owner, table, column;
};

// "SCOTT.EMP.EMPNO" (a physical table name, a dot, a column) into its parts.
ColumnPath splitPath(const std::string &path) {
    ColumnPath p;
    size_t last = path.rfind('.');
    std::string table = path.substr(0, last);
    p.column = last == std::string::npos ? path : path.substr(last + 1);
    size_t first = table.find('.');
    p.owner = table.substr(0, first);
    p.table = first == std::string::npos ? table : table.substr(first + 1);
    return p;
}

std::string afterColon(const std::string &message) {
    size_t colon = message.find(": ");
    return colon == std::string::npos ? message : message.substr(colon + 2);
}

std::string uniqueConstraintName(Catalog &catalog, const std::string &columnsText) {
    std::vector<std::string> columns;
    ColumnPath first;
    size_t start = 0;
    while (start <= columnsText.size()) {
        size_t comma = columnsText.find(", ", start);
        std::string item = columnsText.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        ColumnPath p = splitPath(item);
        if (columns.empty())
            first = p;
        columns.push_back(p.column);
        if (comma == std::string::npos)
            break;
        start = comma + 2;
    }
    std::sort(columns.begin(), columns.end());
    auto table = catalog.findObject(first.owner, first.table);
    if (table) {
        for (const auto &k : catalog.constraintsOf(table->id)) {
            if (k.type != 'P' && k.type != 'U')
                continue;
            auto cols = k.columns;
            std::sort(cols.begin(), cols.end());
            if (cols == columns)
                return k.owner + "." + k.name;
        }
        auto p = catalog.connection().prepare(
            "SELECT o.owner, o.object_name, x.object_id FROM kdb_indexes x JOIN kdb_objects o ON o.object_id = "
            "x.object_id WHERE x.table_id = ?1 AND x.uniqueness = 'UNIQUE'");
        p.bind(1, table->id);
        while (p.step()) {
            std::vector<std::string> cols;
            auto c = catalog.connection().prepare("SELECT column_name FROM kdb_ind_columns WHERE index_id = ?1");
            c.bind(1, p.integer(2));
            while (c.step())
                cols.push_back(c.text(0));
            std::sort(cols.begin(), cols.end());
            if (cols == columns)
                return p.text(0) + "." + p.text(1);
        }
    }
    return first.owner + "." + first.table;
}

}  // namespace

Error oracleError(const SqliteError &e, Catalog &catalog, bool isUpdate) {
    const std::string message = e.what();
    if (int code = oracleCodeOf(message))
        return Error(code, message);
    const int rc = e.rc();
    switch (rc & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return Error(54, formatOracleMessage(54));
    case SQLITE_INTERRUPT:
        return Error(1013, "ORA-01013: user requested cancel of current operation");
    default:
        break;
    }
    try {
        if (rc == SQLITE_CONSTRAINT_NOTNULL) {
            ColumnPath p = splitPath(afterColon(message));
            std::string path = "\"" + p.owner + "\".\"" + p.table + "\".\"" + p.column + "\"";
            int code = isUpdate ? 1407 : 1400;
            return Error(code, formatOracleMessage(code, {path}));
        }
        if (rc == SQLITE_CONSTRAINT_UNIQUE || rc == SQLITE_CONSTRAINT_PRIMARYKEY) {
            std::string name = uniqueConstraintName(catalog, afterColon(message));
            return Error(1, formatOracleMessage(1, {name}));
        }
        if (rc == SQLITE_CONSTRAINT_CHECK)
            return Error(2290, formatOracleMessage(2290, {afterColon(message)}));
    } catch (const std::exception &) {
        // The catalogue could not be read while mapping: report the plain failure below.
    }
    // SQLite's own checks of values a statement passes at run time.
    if (message.find("ESCAPE expression must be a single character") != std::string::npos)
        return Error(1425, formatOracleMessage(1425));
    // A statement nested deeper than SQLite parses what it became: a limit of the engine's, which
    // Oracle does not have.
    for (const char *tooDeep : {"parser stack overflow", "Expression tree is too large"})
        if (message.find(tooDeep) != std::string::npos)
            return Error(3001, formatOracleMessage(3001));
    if ((rc & 0xff) == SQLITE_FULL)
        return Error(1653, "ORA-01653: unable to extend table (" + message + ")");
    return Error(600, formatOracleMessage(600, {message}));
}

}  // namespace localdb
