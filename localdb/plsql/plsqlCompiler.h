// The PL/SQL compiler: one pass over the tokens, as PL/SQL's declare-before-use rule allows,
// resolving every name to a slot, a subprogram or a compiled SQL statement. Errors are recorded
// with their line and column and compilation goes on, so a unit shows all its errors at once.
#pragma once

#include "localdb/plsql/plsqlNodes.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace localdb::plsql {

struct CompileError {
    int line = 0, column = 0;
    std::string text;       // "PLS-00201: identifier 'X' must be declared"
    int messageNumber = 0;  // 201
};

struct Dependency {
    std::string owner, name, type;
};

// One argument row of a public subprogram, as the dictionary lists it.
struct ArgumentInfo {
    std::string objectName, argumentName, dataType, inOut;
    int subprogramId = 0, overload = 0, position = 0, sequence = 0;
    bool defaulted = false;
    int dataLength = -1, dataPrecision = TypeSpec::None, dataScale = TypeSpec::None;
};

// A compiled anonymous block.
struct CompiledBlock {
    Program program;
    std::unique_ptr<Subprogram> main;
    std::vector<std::unique_ptr<Subprogram>> subprograms;
    std::vector<std::shared_ptr<ExceptionDecl>> exceptions;
    std::vector<std::shared_ptr<CompiledUnit>> references;
    std::vector<std::unique_ptr<CursorDecl>> cursors;
    long long schemaVersion = -1;
};

struct CompileOutput {
    std::vector<CompileError> errors;
    std::vector<Dependency> dependencies;
    std::vector<ArgumentInfo> arguments;
    std::vector<std::shared_ptr<CompiledUnit>> references;
    std::vector<std::unique_ptr<CursorDecl>> cursors;
    std::string unitName, unitType;  // from the unit's header
    int headerOffset = 0;            // where the stored source begins (the PROCEDURE keyword)
};

// Finds the current compiled form of a stored unit (loading and compiling it when needed);
// null when there is none. type: "PACKAGE" finds a package with its body when it has one.
using UnitLookup = std::function<std::shared_ptr<CompiledUnit>(const std::string &owner, const std::string &name)>;

// Compiles an anonymous block.
std::unique_ptr<CompiledBlock> compileBlock(SessionCore &core, const std::string &text, const UnitLookup &lookup,
                                            CompileOutput &out);

// Compiles the text of CREATE ... (from PROCEDURE/FUNCTION/PACKAGE on). specText is the package
// specification's source when compiling a package body.
std::shared_ptr<CompiledUnit> compileUnit(SessionCore &core, const std::string &owner, const std::string &text,
                                          const std::string &specText, const UnitLookup &lookup,
                                          CompileOutput &out);

// Reads the header of a unit's text: its type (PROCEDURE, FUNCTION, PACKAGE, PACKAGE BODY) and
// name; false when the text is no unit.
bool unitHeader(const std::string &text, std::string &type, std::string &name, int &nameOffset);

}  // namespace localdb::plsql
