// Compilation errors of stored PL/SQL units: which unit a CREATE statement made, the warning
// "Procedure created with compilation errors." when the dictionary lists errors for it, and the
// SHOW ERRORS listing ("LINE/COL ERROR" with messages wrapped in a 65-column field).
#pragma once

#include "localdb/localdb.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace localdb::client {

struct PlsqlUnit {
    std::string type;   // "PROCEDURE", "FUNCTION", "PACKAGE", "PACKAGE BODY", "TRIGGER", "TYPE", "TYPE BODY"
    std::string owner;  // empty for the current schema
    std::string name;
};

// The unit a "CREATE [OR REPLACE] PROCEDURE|FUNCTION|PACKAGE [BODY]|TRIGGER|TYPE [BODY] name"
// statement creates; nullopt for any other statement.
std::optional<PlsqlUnit> createdPlsqlUnit(std::string_view statement);

// The unit SHOW ERRORS names in its arguments ("PACKAGE BODY pk", "procedure p", "p" for a
// procedure); nullopt when they cannot be read.
std::optional<PlsqlUnit> namedPlsqlUnit(std::string_view arguments);

// "Procedure", "Package Body": the type as the completion warning writes it.
std::string unitTypeWords(const std::string &type);

struct CompileError {
    long long line = 0;
    long long position = 0;
    std::string text;
};

// The SHOW ERRORS listing for a unit with errors.
std::vector<std::string> errorListing(const PlsqlUnit &unit, const std::vector<CompileError> &errors);

// The errors the dictionary records for the unit, in their order.
std::vector<CompileError> readCompileErrors(Session &session, const PlsqlUnit &unit);

}  // namespace localdb::client
