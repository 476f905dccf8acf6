// The table of Oracle messages the core raises, with their codes (classic release texts).
#include "localdb/system/errors.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace localdb {
namespace {

struct Message {
    int code;
    const char *text;
};

// Sorted by code: looked up by binary search.
constexpr Message kMessages[] = {
    {1, "unique constraint (%s) violated"},
    {54, "resource busy and acquire with NOWAIT specified or timeout expired"},
    {60, "deadlock detected while waiting for resource"},
    {600, "internal error code, arguments: [%s]"},
    {900, "invalid SQL statement"},
    {901, "invalid CREATE command"},
    {902, "invalid datatype"},
    {903, "invalid table name"},
    {904, "%s: invalid identifier"},
    {905, "missing keyword"},
    {906, "missing left parenthesis"},
    {907, "missing right parenthesis"},
    {908, "missing NULL keyword"},
    {909, "invalid number of arguments"},
    {910, "specified length too long for its datatype"},
    {911, "invalid character"},
    {913, "too many values"},
    {917, "missing comma"},
    {918, "column ambiguously defined"},
    {920, "invalid relational operator"},
    {921, "unexpected end of SQL command"},
    {922, "missing or invalid option"},
    {923, "FROM keyword not found where expected"},
    {924, "missing BY keyword"},
    {925, "missing INTO keyword"},
    {926, "missing VALUES keyword"},
    {927, "missing equal sign"},
    {928, "missing SELECT keyword"},
    {932, "inconsistent datatypes: expected %s got %s"},
    {933, "SQL command not properly ended"},
    {934, "group function is not allowed here"},
    {936, "missing expression"},
    {937, "not a single-group group function"},
    {938, "not enough arguments for function"},
    {939, "too many arguments for function"},
    {940, "invalid ALTER command"},
    {942, "table or view does not exist"},
    {947, "not enough values"},
    {950, "invalid DROP option"},
    {955, "name is already used by an existing object"},
    {957, "duplicate column name"},
    {971, "missing SET keyword"},
    {972, "identifier is too long"},
    {975, "date + date not allowed"},
    {979, "not a GROUP BY expression"},
    {980, "synonym translation is no longer valid"},
    {984, "column not allowed here"},
    {997, "illegal use of LONG datatype"},
    {998, "must name this expression with a column alias"},
    {1008, "not all variables bound"},
    {1012, "not logged on"},
    {1013, "user requested cancel of current operation"},
    {1017, "invalid username/password; logon denied"},
    {1031, "insufficient privileges"},
    {1036, "illegal variable name/number"},
    {1045, "user %s lacks CREATE SESSION privilege; logon denied"},
    {1086, "savepoint '%s' never established"},
    {1119, "error in creating database file '%s'"},
    {1400, "cannot insert NULL into (%s)"},
    {1402, "view WITH CHECK OPTION where-clause violation"},
    {1403, "no data found"},
    {1407, "cannot update (%s) to NULL"},
    {1408, "such column list already indexed"},
    {1410, "invalid ROWID"},
    {1416, "two tables cannot be outer-joined to each other"},
    {1417, "a table may be outer joined to at most one other table"},
    {1418, "specified index does not exist"},
    {1422, "exact fetch returns more than requested number of rows"},
    {1425, "escape character must be character string of length 1"},
    {1426, "numeric overflow"},
    {1427, "single-row subquery returns more than one row"},
    {1428, "argument '%s' is out of range"},
    {1430, "column being added already exists in table"},
    {1432, "public synonym to be dropped does not exist"},
    {1434, "private synonym to be dropped does not exist"},
    {1435, "user does not exist"},
    {1436, "CONNECT BY loop in user data"},
    {1438, "value larger than specified precision allowed for this column"},
    {1439, "column to be modified must be empty to change datatype"},
    {1440, "column to be modified must be empty to decrease precision or scale"},
    {1441, "cannot decrease column length because some value is too big"},
    {1442, "column to be modified to NOT NULL is already NOT NULL"},
    {1449, "column contains NULL values; cannot alter to NOT NULL"},
    {1451, "column to be modified to NULL cannot be modified to NULL"},
    {1452, "cannot CREATE UNIQUE INDEX; duplicate keys found"},
    {1468, "a predicate may reference only one outer-joined table"},
    {1476, "divisor is equal to zero"},
    {1489, "result of string concatenation is too long"},
    {1653, "unable to extend table"},
    {1702, "a view is not appropriate here"},
    {1719, "outer join operator (+) not allowed in operand of OR or IN"},
    {1722, "invalid number"},
    {1727, "numeric precision specifier is out of range (1 to 38)"},
    {1728, "numeric scale specifier is out of range (-84 to 127)"},
    {1730, "invalid number of column names specified"},
    {1732, "data manipulation operation not legal on this view"},
    {1733, "virtual column not allowed here"},
    {1740, "missing double quote in identifier"},
    {1741, "illegal zero-length identifier"},
    {1747, "invalid user.table.column, table.column, or column specification"},
    {1756, "quoted string not properly terminated"},
    {1758, "table must be empty to add mandatory (NOT NULL) column"},
    {1765, "specifying owner's name of the table is not allowed"},
    {1767, "UPDATE ... SET expression must be a subquery"},
    {1776, "cannot modify more than one base table through a join view"},
    {1785, "ORDER BY item must be the number of a SELECT-list expression"},
    {1788, "CONNECT BY clause required in this query block"},
    {1789, "query block has incorrect number of result columns"},
    {1790, "expression must have same datatype as corresponding expression"},
    {1791, "not a SELECTed expression"},
    {1799, "a column may not be outer-joined to a subquery"},
    {1841, "(full) year must be between -4713 and +9999, and not be 0"},
    {1843, "not a valid month"},
    {1847, "day of month must be between 1 and last day of month"},
    {1850, "hour must be between 0 and 23"},
    {1851, "minutes must be between 0 and 59"},
    {1852, "seconds must be between 0 and 59"},
    {1858, "a non-numeric character was found where a numeric was expected"},
    {1861, "literal does not match format string"},
    {1867, "the interval is invalid"},
    {1870, "the intervals or datetimes are not mutually comparable"},
    {1873, "the leading precision of the interval is too small"},
    {1878, "specified field not found in datetime or interval"},
    {1882, "timezone region not found"},
    {1917, "user or role '%s' does not exist"},
    {1918, "user '%s' does not exist"},
    {1919, "role '%s' does not exist"},
    {1920, "user name '%s' conflicts with another user or role name"},
    {1921, "role name '%s' conflicts with another user or role name"},
    {1922, "CASCADE must be specified to drop '%s'"},
    {1927, "cannot REVOKE privileges you did not grant"},
    {1940, "cannot drop a user that is currently connected"},
    {1951, "ROLE '%s' not granted to '%s'"},
    {1952, "system privileges not granted to '%s'"},
    {2000, "missing %s keyword"},
    {2251, "subquery not allowed here"},
    {2253, "constraint specification not allowed here"},
    {2260, "table can have only one primary key"},
    {2261, "such unique or primary key already exists in the table"},
    {2264, "name already used by an existing constraint"},
    {2266, "unique/primary keys in table referenced by enabled foreign keys"},
    {2270, "no matching unique or primary key for this column-list"},
    {2273, "this unique/primary key is referenced by some foreign keys"},
    {2283, "cannot alter starting sequence number"},
    {2287, "sequence number not allowed here"},
    {2289, "sequence does not exist"},
    {2290, "check constraint (%s) violated"},
    {2291, "integrity constraint (%s) violated - parent key not found"},
    {2292, "integrity constraint (%s) violated - child record found"},
    {2293, "cannot validate (%s) - check constraint violated"},
    {2296, "cannot enable (%s) - null values found"},
    {2297, "cannot disable constraint (%s) - dependencies exist"},
    {2298, "cannot validate (%s) - parent keys not found"},
    {2299, "cannot validate (%s) - duplicate keys found"},
    {2402, "PLAN_TABLE not found"},
    {2404, "specified plan table not found"},
    {2429, "cannot drop index used for enforcement of unique/primary key"},
    {2430, "cannot enable constraint (%s) - no such constraint"},
    {2431, "cannot disable constraint (%s) - no such constraint"},
    {2436, "date or system variable wrongly specified in CHECK constraint"},
    {2437, "cannot validate (%s) - primary key violated"},
    {2441, "Cannot drop nonexistent primary key"},
    {2443, "Cannot drop constraint  - nonexistent constraint"},
    {2449, "unique/primary keys in table referenced by foreign keys"},
    {3001, "unimplemented feature"},
    {3113, "end-of-file on communication channel"},
    {4002, "INCREMENT must be a non-zero integer"},
    {4006, "START WITH cannot be less than MINVALUE"},
    {4043, "object %s does not exist"},
    {4063, "%s has errors"},
    {8002, "sequence %s.CURRVAL is not yet defined in this session"},
    {8004, "sequence %s.NEXTVAL exceeds %s and cannot be instantiated"},
    {12154, "TNS:could not resolve the connect identifier specified"},
    {12899, "value too large for column %s (actual: %s, maximum: %s)"},
    {12983, "cannot drop all columns in a table"},
    {24374, "define not done before fetch or execute and fetch"},
    {25156, "old style outer join (+) cannot be used with ANSI joins"},
    {28000, "the account is locked"},
    {30009, "Not enough memory for CONNECT BY operation"},
    {30076, "invalid extract field for extract source"},
    {30081, "invalid data type for datetime/interval arithmetic"},
    {30087, "Adding two datetime values is not allowed"},
    {30088, "datetime/interval precision is out of range"},
    {30481, "GROUPING function only supported with GROUP BY CUBE or ROLLUP"},
    {30482, "DISTINCT option not allowed for this function"},
    {30483, "window  functions are not allowed here"},
    {30484, "missing window specification for this function"},
    {30485, "missing ORDER BY expression in the window specification"},
    {30486, "invalid window aggregation group in the window specification"},
    {30487, "ORDER BY not allowed here"},
    {30493, "The percentile value should be a number between 0 and 1."},
    {30563, "outer join operator (+) is not allowed here"},
    {30669, "table can have only one identity column"},
    {30674, "identity column cannot have a default value"},
    {30675, "identity column must be a numeric type"},
    {30929, "ORDER SIBLINGS BY clause not allowed here"},
    {32001, "write to SPFILE requested but no SPFILE is in use"},
    {32038, "number of WITH clause column names does not match number of elements in select list"},
    {32039, "recursive WITH clause must have column alias list"},
    {32040, "recursive WITH clause must use a UNION ALL operation"},
    {32044, "cycle detected while executing recursive WITH query"},
    {32048, "cycle mark column name for CYCLE clause must not be part of the column alias list"},
    {32481, "cycle value for CYCLE clause must be different from the non-cycle value"},
    {32484, "duplicate name found in cycle column list for CYCLE clause of WITH clause"},
    {32485, "element in cycle column list of CYCLE clause must appear in the column alias list of the WITH clause element"},
    {32794, "cannot drop a system-generated sequence"},
    {32795, "cannot insert into a generated always identity column"},
    {32796, "cannot update a generated always identity column"},
    {38104, "Columns referenced in the ON Clause cannot be updated: %s"},
    {40454, "path expression not a literal"},
    {42399, "cannot perform a DML operation on a read-only view"},
    {54002, "only pure functions can be specified in a virtual column expression"},
    {54013, "INSERT operation disallowed on virtual columns"},
    {54017, "UPDATE operation disallowed on virtual columns"},
    {56901, "non-constant expression is not allowed for pivot|unpivot values"},
    {56902, "expect aggregate function inside pivot operation"},
    {62550, "Invalid SQL ROW LIMITING expression was specified."},
};

}  // namespace

std::string_view messageTemplate(int code) {
    auto it = std::lower_bound(std::begin(kMessages), std::end(kMessages), code,
                               [](const Message &m, int c) { return m.code < c; });
    if (it == std::end(kMessages) || it->code != code)
        return {};
    return it->text;
}

std::string formatOracleMessage(int code, std::initializer_list<std::string_view> args) {
    char prefix[16];
    std::snprintf(prefix, sizeof prefix, "ORA-%05d: ", code);
    std::string out = prefix;
    std::string_view text = messageTemplate(code);
    auto arg = args.begin();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == 's') {
            if (arg != args.end())
                out += *arg++;
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

void raise(int code, int position, std::initializer_list<std::string_view> args) {
    throw Error(code, formatOracleMessage(code, args), position);
}

int oracleCodeOf(std::string_view message) {
    if (message.size() < 10 || message.substr(0, 4) != "ORA-")
        return 0;
    int code = 0;
    for (size_t i = 4; i < 9; ++i) {
        if (message[i] < '0' || message[i] > '9')
            return 0;
        code = code * 10 + (message[i] - '0');
    }
    return message[9] == ':' ? code : 0;
}

}  // namespace localdb
