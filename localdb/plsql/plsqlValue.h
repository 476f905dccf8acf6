// PL/SQL values and declared types: what a variable holds, what it was declared as, and Oracle's
// conversions and checks when a value is assigned (ORA-06502 for a value that does not fit).
#pragma once

#include "localdb/functions/session_context.h"
#include "localdb/localdb.h"
#include "localdb/sql/types.h"

#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace localdb::plsql {

struct Record;

// A runtime value. Numbers are integers while they stay exact, else doubles (the engine's stored
// form); composite values (records now, collections later) are shared and copied on assignment.
using Datum = std::variant<std::monostate, std::int64_t, double, std::string, DateTime, Bytes, bool,
                           std::shared_ptr<Record>>;

inline bool isNull(const Datum &d) { return d.index() == 0; }

enum class TypeKind { Number, Integer, Text, Char, Date, Boolean, Clob, Raw, Record, Unknown };

struct RecordType;

// A declared PL/SQL type with its constraint.
struct PlType {
    TypeKind kind = TypeKind::Unknown;
    int length = 0;                 // VARCHAR2(n), CHAR(n), RAW(n); 0: unconstrained
    int precision = TypeSpec::None;  // NUMBER(p,s)
    int scale = TypeSpec::None;
    bool notNull = false;
    std::string name;               // the dictionary's name: NUMBER, VARCHAR2, PL/SQL BOOLEAN ...
    std::shared_ptr<RecordType> record;

    static PlType number() { return {TypeKind::Number, 0, TypeSpec::None, TypeSpec::None, false, "NUMBER", {}}; }
    static PlType integer() {
        return {TypeKind::Integer, 0, TypeSpec::None, TypeSpec::None, false, "BINARY_INTEGER", {}};
    }
    static PlType text() { return {TypeKind::Text, 0, TypeSpec::None, TypeSpec::None, false, "VARCHAR2", {}}; }
    static PlType date() { return {TypeKind::Date, 0, TypeSpec::None, TypeSpec::None, false, "DATE", {}}; }
    static PlType boolean() {
        return {TypeKind::Boolean, 0, TypeSpec::None, TypeSpec::None, false, "PL/SQL BOOLEAN", {}};
    }
    static PlType unknown() { return {}; }
    // The PL/SQL type of a table column.
    static PlType ofColumn(const TypeSpec &spec);

    bool isNumeric() const { return kind == TypeKind::Number || kind == TypeKind::Integer; }
    bool isText() const { return kind == TypeKind::Text || kind == TypeKind::Char || kind == TypeKind::Clob; }
};

struct RecordType {
    std::vector<std::string> names;
    std::vector<PlType> types;
    int find(const std::string &name) const;
};

struct Record {
    std::shared_ptr<RecordType> type;
    std::vector<Datum> fields;
};

// A failure raised by the runtime: an Oracle code and its text, or a user-defined exception.
struct PlError {
    int code = 0;          // 6502, 1403, 20001 ... (1 for a user-defined exception)
    std::string message;   // "ORA-06502: PL/SQL: numeric or value error" (without the stack)
    const void *exception = nullptr;  // the declared exception, for user-defined ones
    std::vector<std::string> stack;   // "ORA-06512: at line 3" lines added while unwinding
    bool traced = false;              // the raising frame has added its line
};

[[noreturn]] void raiseCode(int code, const std::string &detail = {});
std::string messageOf(int code, const std::string &detail = {});

// Conversions used by expressions and assignments; they raise ORA-06502 as PL/SQL does.
std::string toText(const Datum &d, const SessionContext &session);
Datum toNumber(const Datum &d, const SessionContext &session);
DateTime toDate(const Datum &d, const SessionContext &session);
bool toBoolean(const Datum &d);  // null -> false (as a condition)
double toDouble(const Datum &d);

// The value converted and checked for the declared type; the result is what the variable holds.
Datum assignTo(const PlType &type, Datum value, const SessionContext &session);
// The starting value of a variable of the type (null, or an empty record).
Datum initialValue(const PlType &type);
// A copy that shares nothing mutable with the source (records are copied).
Datum deepCopy(const Datum &d);

// Values as they cross to SQL and back.
Value toValue(const Datum &d);
Datum fromValue(const Value &v);

}  // namespace localdb::plsql
