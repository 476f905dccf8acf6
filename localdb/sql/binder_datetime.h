// The binder's part for timestamps and intervals: literals, the clock functions, conversions
// between the datetime kinds, datetime and interval arithmetic, comparisons, EXTRACT, TO_CHAR
// and the conversion functions. Each returns false when the expression is not its business.
#pragma once

#include "localdb/sql/ast.h"

namespace localdb {

class Binder;

// The datetime or interval kind of a type (Temporal::None for others; a DATE without a recorded
// kind is Temporal::Date).
Temporal temporalKind(const Type &type);

// Implicit conversions from or to a timestamp or interval (Binder::convert delegates here).
// A BINARY_FLOAT / BINARY_DOUBLE value: its text in Oracle's scientific form (TO_CHAR without a
// model, ||, character functions); false when e has another type.
bool binaryNumberToText(ExprPtr &e);

bool convertDatetime(ExprPtr &e, BaseType wanted);

// Converts a value to an exact datetime or interval type (a column's, a CAST's): kinds are
// converted, fractions rounded and interval precisions checked (ORA-01873).
void convertToTemporal(ExprPtr &e, const Type &target);

// Comparison operands when either is a timestamp or an interval.
bool compareDatetimes(ExprPtr &a, ExprPtr &b);

// +, -, *, / with a timestamp or interval operand (operands bound).
bool bindDatetimeArithmetic(ExprPtr &e);

// DATE 'YYYY-MM-DD' and the date part of TIMESTAMP literals must be real dates.
void checkDateLiteral(const Expr &e);

// TIMESTAMP literals.
void bindTimestampLiteral(ExprPtr &e);

// SYSTIMESTAMP, CURRENT_TIMESTAMP, LOCALTIMESTAMP, CURRENT_DATE, SESSIONTIMEZONE, DBTIMEZONE.
bool bindDatetimePseudoColumn(ExprPtr &e);

// Functions and forms on timestamps and intervals (arguments bound).
bool bindDatetimeFunction(ExprPtr &e);

// A DATE argument for a function taking one: timestamps become their DATE.
void timestampToDate(ExprPtr &e);

}  // namespace localdb
