// DESCRIBE: the columns of a table or view (or of the object a synonym names) from the data
// dictionary, laid out as " Name   Null?   Type" with the type written as it was declared.
#pragma once

#include "localdb/localdb.h"

#include <optional>
#include <string>
#include <vector>

namespace localdb::client {

struct DescribedColumn {
    std::string name;
    bool notNull = false;
    std::string type;  // "NUMBER(7,2)", "VARCHAR2(10)", "DATE" ...
};

// A column's type as DESCRIBE writes it, from the dictionary's DATA_TYPE, DATA_LENGTH,
// DATA_PRECISION, DATA_SCALE and CHAR_USED (precision and scale may be NULL).
std::string describedType(const std::string &dataType, long long length, std::optional<long long> precision,
                          std::optional<long long> scale, const std::string &charUsed);

// The listing: heading, underline and one line per column.
std::vector<std::string> describeLines(const std::vector<DescribedColumn> &columns);

struct DescribedArgument {
    std::string name;
    std::string type;
    std::string inOut;  // "IN", "OUT", "IN/OUT"
    bool hasDefault = false;
};

struct DescribedSubprogram {
    std::string kind;     // "PROCEDURE" or "FUNCTION"
    std::string name;
    std::string returns;  // the return type of a function
    std::vector<DescribedArgument> arguments;
};

// The listing of procedures and functions: a "PROCEDURE name" or "FUNCTION name RETURNS type"
// line, then their arguments under " Argument Name  Type  In/Out Default?".
std::vector<std::string> subprogramLines(const std::vector<DescribedSubprogram> &subprograms);

// Everything DESCRIBE prints for a name: the columns of a table or view, or the arguments of a
// procedure, function or package. Throws ORA-04043 when the name denotes none of them.
std::vector<std::string> describe(Session &session, const std::string &name);

// The columns of the object the user named ("emp", "scott.emp", "\"Mixed\""). Throws
// ORA-04043 with the name as typed when there is no such table, view or synonym.
std::vector<DescribedColumn> describeObject(Session &session, const std::string &name);

}  // namespace localdb::client
