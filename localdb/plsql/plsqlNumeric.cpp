// Numbers on the runtime's fast path.
#include "localdb/plsql/plsqlNumeric.h"

#include <cmath>

namespace localdb::plsql {
namespace {

// 10^p for the precisions an int64 can exceed.
bool exceedsPrecision(std::int64_t v, int precision) {
    if (precision >= 19)
        return false;
    std::int64_t limit = 1;
    for (int i = 0; i < precision; ++i)
        limit *= 10;
    return v >= limit || v <= -limit;
}

}  // namespace

Numeric numericOf(const Datum &d, const SessionContext &session) {
    switch (d.index()) {
    case 0:
        return {};
    case 1:
        return Numeric::integer(std::get<std::int64_t>(d));
    case 2:
        return Numeric::real(std::get<double>(d));
    default: {
        Datum n = toNumber(d, session);
        if (auto *i = std::get_if<std::int64_t>(&n))
            return Numeric::integer(*i);
        if (auto *f = std::get_if<double>(&n))
            return Numeric::real(*f);
        return {};
    }
    }
}

Datum datumOf(const Numeric &n) {
    switch (n.kind) {
    case Numeric::Integer:
        return n.i;
    case Numeric::Real:
        return n.d;
    default:
        return {};
    }
}

Numeric numberArithmetic(ArithmeticOp op, const Numeric &a, const Numeric &b) {
    if (a.kind == Numeric::Integer && b.kind == Numeric::Integer) {
        std::int64_t r;
        switch (op) {
        case ArithmeticOp::Add:
            if (!__builtin_add_overflow(a.i, b.i, &r))
                return Numeric::integer(r);
            break;
        case ArithmeticOp::Sub:
            if (!__builtin_sub_overflow(a.i, b.i, &r))
                return Numeric::integer(r);
            break;
        case ArithmeticOp::Mul:
            if (!__builtin_mul_overflow(a.i, b.i, &r))
                return Numeric::integer(r);
            break;
        case ArithmeticOp::Div:
            if (b.i == 0)
                raiseCode(1476);
            // Below 2^52 the double quotient is whole exactly when the division is: the double
            // path below gives the same result without an integer division.
            if (a.i > -(std::int64_t(1) << 52) && a.i < (std::int64_t(1) << 52) && b.i > -(std::int64_t(1) << 52) &&
                b.i < (std::int64_t(1) << 52))
                break;
            // INT64_MIN / -1 is the one quotient of two int64 that does not fit.
            if (a.i % b.i == 0 && !(b.i == -1 && a.i == INT64_MIN))
                return Numeric::integer(a.i / b.i);
            break;
        case ArithmeticOp::Power:
            break;
        }
    }
    const double x = a.toDouble(), y = b.toDouble();
    double r = 0;
    switch (op) {
    case ArithmeticOp::Add:
        r = x + y;
        break;
    case ArithmeticOp::Sub:
        r = x - y;
        break;
    case ArithmeticOp::Mul:
        r = x * y;
        break;
    case ArithmeticOp::Div:
        if (y == 0)
            raiseCode(1476);
        r = x / y;
        break;
    case ArithmeticOp::Power:
        r = std::pow(x, y);
        break;
    }
    if (!std::isfinite(r))
        raiseCode(1426);
    // Whole results below 2^53 go back to integers (a cast, cheaper than trunc()).
    if (std::fabs(r) < 9e15) {
        const auto whole = std::int64_t(r);
        if (double(whole) == r)
            return Numeric::integer(whole);
    }
    return Numeric::real(r);
}

Numeric integerArithmetic(ArithmeticOp op, const Numeric &a, const Numeric &b) {
    if (a.kind != Numeric::Integer || b.kind != Numeric::Integer)
        return numberArithmetic(op, a, b);
    std::int64_t r = 0;
    bool overflow = false;
    switch (op) {
    case ArithmeticOp::Add:
        overflow = __builtin_add_overflow(a.i, b.i, &r);
        break;
    case ArithmeticOp::Sub:
        overflow = __builtin_sub_overflow(a.i, b.i, &r);
        break;
    case ArithmeticOp::Mul:
        overflow = __builtin_mul_overflow(a.i, b.i, &r);
        break;
    default:
        return numberArithmetic(op, a, b);
    }
    if (overflow || !fitsPlsInteger(r))
        raiseCode(1426);
    return Numeric::integer(r);
}

void storeNumericChecked(Datum &variable, const Numeric &n, const PlType &type, const SessionContext &session) {
    if (n.kind == Numeric::Null) {
        if (type.notNull)
            raiseCode(6502);
        variable = std::monostate{};
        return;
    }
    if (type.kind == TypeKind::Integer) {
        if (n.kind == Numeric::Integer) {
            if (!fitsPlsInteger(n.i))
                raiseCode(1426);
            variable = n.i;
            return;
        }
        if (!(n.d >= -2147483648.0 && n.d <= 2147483647.0))
            raiseCode(1426);
        variable = std::int64_t(std::llround(n.d));
        return;
    }
    if (type.kind == TypeKind::Number && type.precision == TypeSpec::None && type.scale == TypeSpec::None) {
        variable = datumOf(n);
        return;
    }
    if (type.kind == TypeKind::Number && n.kind == Numeric::Integer && type.scale == 0 &&
        (type.precision == TypeSpec::None || !exceedsPrecision(n.i, type.precision))) {
        variable = n.i;
        return;
    }
    variable = assignTo(type, datumOf(n), session);
}

}  // namespace localdb::plsql
