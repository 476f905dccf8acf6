// The client's bind variables: VARIABLE declares them, statements and PL/SQL blocks use them as
// ":name" (read and written back), PRINT shows them. They live for the run of the client, across
// CONNECT, as Oracle's command-line tools keep them.
#pragma once

#include "localdb/client/value_text.h"
#include "localdb/localdb.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace localdb::client {

struct BindVariable {
    enum Kind { Number, Varchar2, Char, NVarchar2, NChar, Clob, NClob, BinaryFloat, BinaryDouble };
    std::string name;  // as declared
    Kind kind = Number;
    int length = 0;    // characters, for the character kinds with a length
    Value value;       // NULL until something is assigned

    // "NUMBER", "VARCHAR2(20)", "CHAR(1)": the type as VARIABLE lists it and PRINT describes it.
    std::string typeText() const;
};

class BindVariables {
public:
    // Carries out "VARIABLE [name [type] [= value]]" (its arguments): declares or re-declares a
    // variable (re-declaring with another type clears its value), or lists one or all. Returns
    // the lines to print, or an error in error.
    std::vector<std::string> command(const std::string &arguments, const DateDisplay &dates, std::string &error);

    const BindVariable *find(std::string_view name) const;
    const std::vector<BindVariable> &all() const { return variables_; }

    // The binds for the ":name" references of a statement, each once, read and written back.
    // Names not declared are listed in undeclared (the statement must then not run). Statements
    // that create stored code get none: ":new" in a trigger body is not a client variable.
    std::vector<Bind> bindsFor(std::string_view statement, std::vector<std::string> &undeclared) const;

    // Stores the values a call wrote back, converted to each variable's type. Returns Oracle's
    // error text for the first value that does not fit ("ORA-06502: ..."); that variable keeps
    // its value.
    std::string takeBack(const std::vector<Bind> &binds, const DateDisplay &dates);

    // A one-row result holding the variable's value, for PRINT.
    static std::unique_ptr<Cursor> valueCursor(const BindVariable &variable);

private:
    BindVariable *findMutable(std::string_view name);
    std::string assign(BindVariable &variable, const Value &value, const DateDisplay &dates) const;

    std::vector<BindVariable> variables_;  // in the order they were declared
};

// The ":name" references of SQL or PL/SQL text, outside strings, quoted identifiers and
// comments, upper case (quoted names as written), each once, in order.
std::vector<std::string> bindReferences(std::string_view text);

}  // namespace localdb::client
