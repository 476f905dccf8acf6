// Numbers on the runtime's fast path: conversions between Numeric and Datum, arithmetic with
// Oracle's overflow rules, comparison, and storing into a numeric variable in place.
#pragma once

#include "localdb/plsql/plsqlRuntime.h"

namespace localdb::plsql {

enum class ArithmeticOp { Add, Sub, Mul, Div, Power };

// A Datum as a number: null, integer or double; text is converted (ORA-06502 when it is none).
Numeric numericOf(const Datum &d, const SessionContext &session);
Datum datumOf(const Numeric &n);

// NUMBER arithmetic of two non-null numbers: integers while the result is exact, doubles
// otherwise; ORA-01476 for a zero divisor, ORA-01426 for an infinite result.
Numeric numberArithmetic(ArithmeticOp op, const Numeric &a, const Numeric &b);
// PLS_INTEGER arithmetic: two integers of the 32-bit range give one of it, or ORA-01426, even
// when the result would go into a NUMBER.
Numeric integerArithmetic(ArithmeticOp op, const Numeric &a, const Numeric &b);
// -1, 0 or 1 for two non-null numbers.
inline int compareNumerics(const Numeric &a, const Numeric &b) {
    if (a.kind == Numeric::Integer && b.kind == Numeric::Integer)
        return a.i < b.i ? -1 : a.i > b.i ? 1 : 0;
    const double x = a.toDouble(), y = b.toDouble();
    return x < y ? -1 : x > y ? 1 : 0;
}

inline bool fitsPlsInteger(std::int64_t v) { return v >= -2147483648LL && v <= 2147483647LL; }

// variable := n for a variable of a numeric type, checked as assignTo checks it.
void storeNumericChecked(Datum &variable, const Numeric &n, const PlType &type, const SessionContext &session);
inline void storeNumeric(Datum &variable, const Numeric &n, const PlType &type, const SessionContext &session) {
    // The loop counter's case: an integer into PLS_INTEGER, written over the integer it held.
    if (n.kind == Numeric::Integer && type.kind == TypeKind::Integer && fitsPlsInteger(n.i)) {
        if (auto *held = std::get_if<std::int64_t>(&variable))
            *held = n.i;
        else
            variable = n.i;
        return;
    }
    storeNumericChecked(variable, n, type, session);
}

}  // namespace localdb::plsql
