// Binder: timestamps and intervals. Values travel in their storage forms; every operation that
// needs to know the kind of a datetime gets it as an argument, since 'YYYY-MM-DD ...' text alone
// does not say whether it is a wall-clock time or one kept in the database time zone.
#include "localdb/sql/binder_datetime.h"

#include "localdb/system/errors.h"
#include "localdb/functions/ascii_text.h"
#include "localdb/functions/timestamp_value.h"

#include <algorithm>
#include <cstdio>

namespace localdb {
namespace {

ExprPtr number(std::int64_t v, int offset) {
    auto e = makeExpr(ExprKind::Number, offset);
    e->text = std::to_string(v);
    e->type = Type::number();
    return e;
}

ExprPtr text(const std::string &v, int offset) {
    auto e = makeExpr(ExprKind::String, offset);
    e->text = v;
    e->type = Type::text();
    return e;
}

// A call of one of the engine's SQLite functions; the node counts as bound.
ExprPtr call(const std::string &function, std::vector<ExprPtr> args, const Type &type, int offset, int endOffset) {
    auto e = makeExpr(ExprKind::Function, offset);
    e->endOffset = endOffset;
    e->op = function;
    e->name.parts = {function};
    e->name.offsets = {offset};
    e->sqlFunction = function;
    e->args = std::move(args);
    e->type = type;
    return e;
}

template <typename... Rest>
std::vector<ExprPtr> list(ExprPtr first, Rest... rest) {
    std::vector<ExprPtr> out;
    out.push_back(std::move(first));
    (out.push_back(std::move(rest)), ...);
    return out;
}

bool isDatetime(Temporal k) {
    return k == Temporal::Date || k == Temporal::Timestamp || k == Temporal::TimestampTz || k == Temporal::TimestampLtz;
}
bool isTimestampKind(Temporal k) { return isDatetime(k) && k != Temporal::Date; }
bool isIntervalKind(Temporal k) { return k == Temporal::YearMonth || k == Temporal::DaySecond; }
bool isZoned(Temporal k) { return k == Temporal::TimestampTz || k == Temporal::TimestampLtz; }

const char *kindName(const Type &t) {
    switch (temporalKind(t)) {
    case Temporal::Date:
        return "DATE";
    case Temporal::Timestamp:
        return "TIMESTAMP";
    case Temporal::TimestampTz:
        return "TIMESTAMP WITH TIME ZONE";
    case Temporal::TimestampLtz:
        return "TIMESTAMP WITH LOCAL TIME ZONE";
    case Temporal::YearMonth:
        return "INTERVAL YEAR TO MONTH";
    case Temporal::DaySecond:
        return "INTERVAL DAY TO SECOND";
    default:
        break;
    }
    switch (t.base) {
    case BaseType::Number:
        return "NUMBER";
    case BaseType::Raw:
        return "BINARY";
    default:
        return "CHAR";
    }
}

int fractionOf(const Type &t) { return temporalKind(t) == Temporal::Date ? 0 : t.fraction; }

// Runs a check of the function library at bind time, giving its error the expression's position.
template <typename F>
auto atPosition(int offset, F f) {
    try {
        return f();
    } catch (const Error &e) {
        if (e.position() >= 0)
            throw;
        throw Error(e.code(), e.what(), offset);
    }
}

// "DAY SECOND 2 6" as the parser writes an interval qualifier.
struct Qualifier {
    std::string first, last;
    int leading = 2, fraction = 0;
    Temporal kind() const { return first == "YEAR" || first == "MONTH" ? Temporal::YearMonth : Temporal::DaySecond; }
};

Qualifier qualifierOf(const std::string &text) {
    Qualifier q;
    char first[8] = {}, last[8] = {};
    std::sscanf(text.c_str(), "%7s %7s %d %d", first, last, &q.leading, &q.fraction);
    q.first = first;
    q.last = last;
    return q;
}

void wrapCheck(ExprPtr &e, const Type &target) {
    int off = e->offset, end = e->endOffset;
    if (target.temporal == Temporal::DaySecond)
        e = call("ora_ds_check", list(std::move(e), number(target.leading, off), number(target.fraction, off)), target,
                 off, end);
    else
        e = call("ora_ym_check", list(std::move(e), number(target.leading, off)), target, off, end);
}

// Makes the operand of a datetime operation a datetime: text is read by the session's format
// for the other operand's kind.
void textToDatetime(ExprPtr &e, const Type &like) {
    if (e->type.base == BaseType::Text) {
        Type t = Type::temporalOf(temporalKind(like), 0, 9);
        convertToTemporal(e, t);
    }
}

bool extractFieldAllowed(Temporal kind, const std::string &field) {
    auto in = [&](std::initializer_list<const char *> names) {
        for (const char *n : names)
            if (field == n)
                return true;
        return false;
    };
    switch (kind) {
    case Temporal::Date:
        return in({"YEAR", "MONTH", "DAY"});
    case Temporal::Timestamp:
    case Temporal::TimestampLtz:
        return in({"YEAR", "MONTH", "DAY", "HOUR", "MINUTE", "SECOND"});
    case Temporal::TimestampTz:
        return in({"YEAR", "MONTH", "DAY", "HOUR", "MINUTE", "SECOND", "TIMEZONE_HOUR", "TIMEZONE_MINUTE",
                   "TIMEZONE_REGION", "TIMEZONE_ABBR"});
    case Temporal::YearMonth:
        return in({"YEAR", "MONTH"});
    case Temporal::DaySecond:
        return in({"DAY", "HOUR", "MINUTE", "SECOND"});
    default:
        return false;
    }
}

// ora_clock(kind, session zone, fraction)
ExprPtr clock(Temporal kind, bool sessionZone, int fraction, int offset, int end) {
    return call("ora_clock", list(number(static_cast<int>(kind), offset), number(sessionZone ? 1 : 0, offset)),
                kind == Temporal::Date ? Type::date() : Type::temporalOf(kind, 0, fraction), offset, end);
}

}  // namespace

Temporal temporalKind(const Type &type) {
    if (type.base == BaseType::Date)
        return type.temporal == Temporal::None ? Temporal::Date : type.temporal;
    if (type.base == BaseType::Interval)
        return type.temporal;
    return Temporal::None;
}

void timestampToDate(ExprPtr &e) {
    Temporal k = temporalKind(e->type);
    if (!isTimestampKind(k))
        return;
    int off = e->offset, end = e->endOffset;
    e = call("ora_ts_convert", list(std::move(e), number(static_cast<int>(k), off), number(1, off), number(0, off)),
             Type::date(), off, end);
}

bool binaryNumberToText(ExprPtr &e) {
    const Type &t = e->type;
    if (!t.hasSpec || (t.spec.name != "BINARY_DOUBLE" && t.spec.name != "BINARY_FLOAT"))
        return false;
    const int off = e->offset, end = e->endOffset;
    const bool single = t.spec.name == "BINARY_FLOAT";
    e = call("ora_binary_to_char", list(std::move(e), number(single ? 1 : 0, off)), Type::text(), off, end);
    return true;
}

bool convertDatetime(ExprPtr &e, BaseType wanted) {
    Temporal have = temporalKind(e->type);
    if (!isTimestampKind(have) && !isIntervalKind(have))
        return wanted == BaseType::Interval;  // text or unknown into an interval: its column decides
    int off = e->offset, end = e->endOffset;
    if (wanted == BaseType::Text) {
        if (isIntervalKind(have))
            e = call("ora_interval_text",
                     list(std::move(e), number(static_cast<int>(have), off), number(e->type.leading, off),
                          number(e->type.fraction, off)),
                     Type::text(), off, end);
        else
            e = call("ora_ts_text", list(std::move(e), number(static_cast<int>(have), off), number(e->type.fraction, off)),
                     Type::text(), off, end);
        return true;
    }
    if (wanted == BaseType::Date && isTimestampKind(have))
        return true;  // a timestamp stays one; functions that need a DATE convert it themselves
    if (wanted == BaseType::Interval && isIntervalKind(have))
        return true;
    if (wanted == BaseType::Unknown)
        return true;
    const char *want = wanted == BaseType::Number ? "NUMBER" : wanted == BaseType::Date ? "DATE" : "BINARY";
    raise(932, off, {want, kindName(e->type)});
}

void convertToTemporal(ExprPtr &e, const Type &target) {
    const Temporal to = target.temporal;
    const Temporal have = temporalKind(e->type);
    const int off = e->offset, end = e->endOffset;
    if (e->kind == ExprKind::Null) {
        e->type = target;
        return;
    }
    if (isIntervalKind(to)) {
        if (have == to) {
            wrapCheck(e, target);
            return;
        }
        if (have == Temporal::None && e->type.base != BaseType::Number && e->type.base != BaseType::Raw) {
            // Text reads as an interval literal of the target's fields.
            e = call(to == Temporal::DaySecond ? "ora_to_dsinterval" : "ora_to_yminterval", list(std::move(e)), target,
                     off, end);
            wrapCheck(e, target);
            return;
        }
        raise(932, off, {to == Temporal::DaySecond ? "INTERVAL DAY TO SECOND" : "INTERVAL YEAR TO MONTH", kindName(e->type)});
    }
    if (have == Temporal::None && (e->type.base == BaseType::Number || e->type.base == BaseType::Raw))
        raise(932, off, {kindName(target), kindName(e->type)});
    if (isIntervalKind(have))
        raise(932, off, {kindName(target), kindName(e->type)});
    if (have == to && (to == Temporal::Date || e->type.fraction <= target.fraction)) {
        e->type = target;
        return;
    }
    e = call("ora_ts_convert",
             list(std::move(e), number(static_cast<int>(have), off), number(static_cast<int>(to), off),
                  number(target.fraction, off)),
             target, off, end);
}

bool compareDatetimes(ExprPtr &a, ExprPtr &b) {
    Temporal ka = temporalKind(a->type), kb = temporalKind(b->type);
    if (isIntervalKind(ka) || isIntervalKind(kb)) {
        if (isIntervalKind(ka) && isIntervalKind(kb)) {
            if (ka != kb)
                raise(1870, b->offset);
            return true;
        }
        ExprPtr &other = isIntervalKind(ka) ? b : a;
        const Type &like = isIntervalKind(ka) ? a->type : b->type;
        if (other->kind == ExprKind::Null || other->type.base == BaseType::Unknown)
            return true;
        if (other->type.base == BaseType::Text) {
            convertToTemporal(other, Type::temporalOf(like.temporal, 9, 9));
            return true;
        }
        raise(932, other->offset, {kindName(like), kindName(other->type)});
    }
    if (!isTimestampKind(ka) && !isTimestampKind(kb))
        return false;
    ExprPtr &ts = isTimestampKind(ka) ? a : b;
    ExprPtr &other = isTimestampKind(ka) ? b : a;
    if (other->type.base == BaseType::Number)
        raise(932, other->offset, {kindName(ts->type), "NUMBER"});
    if (other->kind == ExprKind::Null || other->type.base == BaseType::Unknown)
        return true;
    textToDatetime(other, ts->type);
    ka = temporalKind(a->type);
    kb = temporalKind(b->type);
    // Zoned values compare as instants, in UTC; the others as wall-clock timestamps.
    Temporal common = isZoned(ka) || isZoned(kb) ? Temporal::TimestampLtz : Temporal::Timestamp;
    for (ExprPtr *x : {&a, &b}) {
        Temporal k = temporalKind((*x)->type);
        if (k == common || (common == Temporal::Timestamp && k == Temporal::Timestamp))
            continue;
        convertToTemporal(*x, Type::temporalOf(common, 0, 9));
    }
    return true;
}

bool bindDatetimeArithmetic(ExprPtr &ep) {
    Expr &e = *ep;
    const std::string &op = e.op;
    ExprPtr &a = e.args[0];
    ExprPtr &b = e.args[1];
    Temporal ka = temporalKind(a->type), kb = temporalKind(b->type);
    const bool anyTimestamp = isTimestampKind(ka) || isTimestampKind(kb);
    const bool anyInterval = isIntervalKind(ka) || isIntervalKind(kb);
    if (!anyTimestamp && !anyInterval)
        return false;
    const int off = e.offset, end = e.endOffset;
    if (isDatetime(ka) && isDatetime(kb)) {
        if (op == "+")
            raise(30087, off);
        if (op != "-")
            raise(932, b->offset, {"NUMBER", kindName(b->type)});
        Type result = Type::temporalOf(Temporal::DaySecond, 9, std::max(fractionOf(a->type), fractionOf(b->type)));
        ep = call("ora_ts_diff",
                  list(std::move(a), number(static_cast<int>(ka), off), std::move(b), number(static_cast<int>(kb), off)),
                  result, off, end);
        return true;
    }
    if (isDatetime(ka) || isDatetime(kb)) {
        bool datetimeFirst = isDatetime(ka);
        ExprPtr &dt = datetimeFirst ? a : b;
        ExprPtr &other = datetimeFirst ? b : a;
        Temporal ko = temporalKind(other->type);
        if ((op != "+" && op != "-") || (!datetimeFirst && op == "-"))
            raise(932, other->offset, {"NUMBER", kindName(dt->type)});
        if (isIntervalKind(ko)) {
            Type result = dt->type;
            result.hasSpec = false;
            int sign = op == "-" ? -1 : 1;
            ep = call("ora_ts_add",
                      list(std::move(dt), number(static_cast<int>(temporalKind(result)), off), std::move(other),
                           number(static_cast<int>(ko), off), number(sign, off)),
                      result, off, end);
            return true;
        }
        // TIMESTAMP + NUMBER: the timestamp becomes a DATE first, as the result is.
        if (other->type.base == BaseType::Text)
            other = call("ora_to_number", list(std::move(other)), Type::number(), other->offset, other->endOffset);
        if (other->type.base != BaseType::Number && other->type.base != BaseType::Unknown)
            raise(932, other->offset, {"NUMBER", kindName(other->type)});
        if (op == "-") {
            auto neg = makeExpr(ExprKind::Unary, other->offset);
            neg->op = "-";
            neg->type = Type::number();
            neg->endOffset = other->endOffset;
            neg->args.push_back(std::move(other));
            other = std::move(neg);
        }
        Temporal kd = temporalKind(dt->type);
        ep = call("ora_ts_add_days", list(std::move(dt), number(static_cast<int>(kd), off), std::move(other)), Type::date(),
                  off, end);
        return true;
    }
    // Intervals with intervals or numbers.
    if (isIntervalKind(ka) && isIntervalKind(kb)) {
        if (ka != kb)
            raise(30081, off);
        if (op != "+" && op != "-")
            raise(30081, off);
        e.type = Type::temporalOf(ka, 9, std::max(a->type.fraction, b->type.fraction));
        return true;
    }
    ExprPtr &iv = isIntervalKind(ka) ? a : b;
    ExprPtr &n = isIntervalKind(ka) ? b : a;
    if ((op != "*" && op != "/") || (op == "/" && !isIntervalKind(ka)))
        raise(30081, off);
    if (n->type.base == BaseType::Text)
        n = call("ora_to_number", list(std::move(n)), Type::number(), n->offset, n->endOffset);
    if (n->type.base != BaseType::Number && n->type.base != BaseType::Unknown)
        raise(932, n->offset, {"NUMBER", kindName(n->type)});
    Temporal k = temporalKind(iv->type);
    Type result = Type::temporalOf(k, 9, k == Temporal::DaySecond ? 9 : 0);
    ep = call(k == Temporal::DaySecond ? "ora_ds_scale" : "ora_ym_scale",
              list(std::move(iv), std::move(n), number(op == "/" ? 1 : 0, off)), result, off, end);
    return true;
}

void bindTimestampLiteral(ExprPtr &ep) {
    Expr &e = *ep;
    // 'YYYY-MM-DD HH24:MI:SS[.f...]' with an optional zone after a blank.
    std::string body = e.text, zone;
    std::size_t timeEnd = body.find(' ');
    if (timeEnd != std::string::npos) {
        std::size_t zoneStart = body.find(' ', timeEnd + 1);
        if (zoneStart != std::string::npos) {
            zone = body.substr(zoneStart + 1);
            body.resize(zoneStart);
        } else {
            // '2024-03-05 13:45:30+09:00'
            std::size_t sign = body.find_first_of("+-", timeEnd + 1);
            if (sign != std::string::npos) {
                zone = body.substr(sign);
                body.resize(sign);
            }
        }
    }
    std::size_t dot = body.find('.');
    std::string fraction;
    if (dot != std::string::npos) {
        fraction = body.substr(dot + 1);
        body.resize(dot);
        if (fraction.empty() || fraction.size() > 9 ||
            fraction.find_first_not_of("0123456789") != std::string::npos)
            raise(1861, e.offset);
    }
    // The date and time part is checked as a DATE literal is.
    auto probe = makeExpr(ExprKind::DateLiteral, e.offset);
    probe->text = body;
    checkDateLiteral(*probe);
    auto parsed = functions::parseStorageTimestamp(body.size() == 10 ? body : body.substr(0, 19));
    if (!parsed)
        raise(1861, e.offset);
    fraction.append(9 - fraction.size(), '0');
    parsed->nanos = std::stoi(fraction);
    std::string stored;
    Type type;
    if (zone.empty()) {
        stored = functions::timestampStorage(*parsed);
        type = Type::temporalOf(Temporal::Timestamp, 0, 9);
    } else {
        stored = atPosition(e.offset, [&] {
            return functions::zonedStorage(functions::zonedFromLocal(*parsed, functions::findTimeZone(zone)));
        });
        type = Type::temporalOf(Temporal::TimestampTz, 0, 9);
    }
    // The literal's node is replaced, so its offsets are read before it goes.
    const auto offset = e.offset;
    const auto endOffset = e.endOffset;
    ep = text(stored, offset);
    ep->endOffset = endOffset;
    ep->type = type;
}

bool bindDatetimePseudoColumn(ExprPtr &ep) {
    Expr &e = *ep;
    if (e.name.parts.size() != 1)
        return false;
    const std::string &w = e.name.parts[0];
    const int off = e.offset, end = e.endOffset;
    if (w == "SYSTIMESTAMP")
        ep = clock(Temporal::TimestampTz, false, 6, off, end);
    else if (w == "CURRENT_TIMESTAMP")
        ep = clock(Temporal::TimestampTz, true, 6, off, end);
    else if (w == "LOCALTIMESTAMP")
        ep = clock(Temporal::Timestamp, true, 6, off, end);
    else if (w == "CURRENT_DATE")
        ep = clock(Temporal::Date, true, 0, off, end);
    else if (w == "SESSIONTIMEZONE")
        ep = call("ora_sessiontimezone", {}, Type::text(), off, end);
    else if (w == "DBTIMEZONE")
        ep = call("ora_dbtimezone", {}, Type::text(), off, end);
    else
        return false;
    return true;
}

bool bindDatetimeFunction(ExprPtr &ep) {
    Expr &e = *ep;
    const std::string &name = e.op;
    auto &args = e.args;
    const size_t n = args.size();
    const int off = e.offset, end = e.endOffset;
    auto needArgs = [&](size_t lo, size_t hi) {
        if (n < lo)
            raise(938, off);
        if (n > hi)
            raise(939, off);
    };
    if (name == "INTERVAL LITERAL") {
        Qualifier q = qualifierOf(e.text);
        const std::string value = args[0]->text;
        std::int64_t v = atPosition(off, [&] {
            return q.kind() == Temporal::YearMonth ? functions::parseYearMonth(value, q.first, q.last, q.leading)
                                                   : functions::parseDaySecond(value, q.first, q.last, q.leading);
        });
        ep = number(v, off);
        ep->endOffset = end;
        ep->type = Type::temporalOf(q.kind(), q.leading, q.fraction);
        if (q.kind() == Temporal::DaySecond)
            ep->text = std::to_string(functions::roundIntervalFraction(v, q.fraction));
        return true;
    }
    if (name == "INTERVAL CAST") {
        Qualifier q = qualifierOf(e.text);
        Type target = Type::temporalOf(q.kind(), q.leading, q.fraction);
        ExprPtr value = std::move(args[0]);
        if (q.kind() == Temporal::YearMonth && value->type.base == BaseType::Number && value->kind == ExprKind::Binary &&
            value->sqlFunction == "ora_date_diff") {
            // (d1 - d2) YEAR TO MONTH: whole months between the two dates.
            for (auto &d : value->args)
                timestampToDate(d);
            ExprPtr months = call("ora_months_between", std::move(value->args), Type::number(), off, end);
            value = call("ora_trunc", list(std::move(months)), target, off, end);
            value = call("ora_ym_check", list(std::move(value), number(q.leading, off)), target, off, end);
            ep = std::move(value);
            return true;
        }
        if (q.kind() == Temporal::DaySecond && value->type.base == BaseType::Number)
            value = call("ora_numtodsinterval", list(std::move(value), text("DAY", off)), target, off, end);
        else if (temporalKind(value->type) != q.kind())
            raise(932, off, {q.kind() == Temporal::DaySecond ? "INTERVAL DAY TO SECOND" : "INTERVAL YEAR TO MONTH",
                             kindName(value->type)});
        wrapCheck(value, target);
        ep = std::move(value);
        return true;
    }
    if (name == "AT TIME ZONE") {
        ExprPtr value = std::move(args[0]);
        textToDatetime(value, Type::temporalOf(Temporal::TimestampTz, 0, 9));
        Temporal k = temporalKind(value->type);
        if (!isDatetime(k))
            raise(932, value->offset, {"TIMESTAMP WITH TIME ZONE", kindName(value->type)});
        Type result = Type::temporalOf(Temporal::TimestampTz, 0, fractionOf(value->type));
        ExprPtr zone = n > 1 ? std::move(args[1]) : makeExpr(ExprKind::Null, off);
        if (zone->kind != ExprKind::Null && zone->type.base != BaseType::Text)
            raise(932, zone->offset, {"CHAR", kindName(zone->type)});
        if (zone->kind == ExprKind::String)
            atPosition(zone->offset, [&] { return functions::findTimeZone(zone->text); });
        ep = call("ora_at_time_zone", list(std::move(value), number(static_cast<int>(k), off), std::move(zone)), result,
                  off, end);
        return true;
    }
    if (name == "CAST") {
        const Type target = args[1]->type;
        const Temporal to = temporalKind(target);
        const Temporal from = temporalKind(args[0]->type);
        if (!isTimestampKind(to) && !isIntervalKind(to) && !isTimestampKind(from) && !isIntervalKind(from))
            return false;
        if (to == Temporal::None)
            return false;  // to text: the implicit conversion does it
        ExprPtr value = std::move(args[0]);
        convertToTemporal(value, target);
        value->type = target;
        ep = std::move(value);
        return true;
    }
    if (name == "EXTRACT" && n == 2) {
        Temporal k = temporalKind(args[1]->type);
        if (k == Temporal::None)
            return false;
        const std::string field = args[0]->text;
        if (!extractFieldAllowed(k, field))
            raise(30076, off);
        bool textual = field == "TIMEZONE_REGION" || field == "TIMEZONE_ABBR";
        ExprPtr value = std::move(args[1]);
        ExprPtr fieldArg = std::move(args[0]);
        ep = call(isIntervalKind(k) ? "ora_extract_interval" : "ora_extract_ts",
                  list(std::move(fieldArg), std::move(value), number(static_cast<int>(k), off)),
                  textual ? Type::text() : Type::number(), off, end);
        return true;
    }
    if (name == "TO_CHAR" && n == 1 && binaryNumberToText(args[0])) {
        ep = std::move(args[0]);
        return true;
    }
    if (name == "TO_CHAR" && n >= 1) {
        Temporal k = temporalKind(args[0]->type);
        if (isIntervalKind(k)) {
            needArgs(1, 3);
            ExprPtr value = std::move(args[0]);
            convertDatetime(value, BaseType::Text);
            ep = std::move(value);
            return true;
        }
        if (!isTimestampKind(k))
            return false;
        needArgs(1, 3);
        const int fraction = args[0]->type.fraction;
        std::vector<ExprPtr> callArgs =
            list(std::move(args[0]), number(static_cast<int>(k), off), number(fraction, off));
        for (size_t i = 1; i < n; ++i) {
            convertDatetime(args[i], BaseType::Text);
            callArgs.push_back(std::move(args[i]));
        }
        ep = call("ora_ts_to_char", std::move(callArgs), Type::text(), off, end);
        return true;
    }
    if (name == "SYSTIMESTAMP" || name == "CURRENT_TIMESTAMP" || name == "LOCALTIMESTAMP") {
        needArgs(n == 0 ? 0 : 1, name == "SYSTIMESTAMP" ? 0 : 1);
        int fraction = 6;
        if (n == 1) {
            if (args[0]->kind != ExprKind::Number)
                raise(30088, args[0]->offset);
            fraction = std::atoi(args[0]->text.c_str());
            if (fraction < 0 || fraction > 9)
                raise(30088, args[0]->offset);
        }
        Temporal k = name == "LOCALTIMESTAMP" ? Temporal::Timestamp : Temporal::TimestampTz;
        ep = clock(k, name != "SYSTIMESTAMP", fraction, off, end);
        if (fraction != 6)
            ep = call("ora_ts_convert",
                      list(std::move(ep), number(static_cast<int>(k), off), number(static_cast<int>(k), off),
                           number(fraction, off)),
                      Type::temporalOf(k, 0, fraction), off, end);
        return true;
    }
    auto textArgs = [&](size_t from) {
        for (size_t i = from; i < n; ++i) {
            if (args[i]->type.base == BaseType::Number)
                raise(932, args[i]->offset, {"CHAR", "NUMBER"});
            convertDatetime(args[i], BaseType::Text);
        }
    };
    auto numberArg = [&](size_t i) {
        if (args[i]->type.base == BaseType::Text)
            args[i] = call("ora_to_number", list(std::move(args[i])), Type::number(), args[i]->offset, args[i]->endOffset);
        else if (args[i]->type.base != BaseType::Number && args[i]->type.base != BaseType::Unknown)
            raise(932, args[i]->offset, {"NUMBER", kindName(args[i]->type)});
    };
    if (name == "NUMTODSINTERVAL" || name == "NUMTOYMINTERVAL") {
        needArgs(2, 2);
        numberArg(0);
        textArgs(1);
        bool ds = name == "NUMTODSINTERVAL";
        ep = call(ds ? "ora_numtodsinterval" : "ora_numtoyminterval", std::move(e.args),
                  Type::temporalOf(ds ? Temporal::DaySecond : Temporal::YearMonth, 9, ds ? 9 : 0), off, end);
        return true;
    }
    if (name == "TO_DSINTERVAL" || name == "TO_YMINTERVAL") {
        needArgs(1, 2);
        textArgs(0);
        bool ds = name == "TO_DSINTERVAL";
        ExprPtr value = std::move(args[0]);
        ep = call(ds ? "ora_to_dsinterval" : "ora_to_yminterval", list(std::move(value)),
                  Type::temporalOf(ds ? Temporal::DaySecond : Temporal::YearMonth, 9, ds ? 9 : 0), off, end);
        return true;
    }
    if (name == "TO_TIMESTAMP" || name == "TO_TIMESTAMP_TZ") {
        needArgs(1, 3);
        bool zoned = name == "TO_TIMESTAMP_TZ";
        Temporal k = temporalKind(args[0]->type);
        if (isDatetime(k)) {
            // Already a datetime: converted, not parsed.
            ExprPtr value = std::move(args[0]);
            convertToTemporal(value, Type::temporalOf(zoned ? Temporal::TimestampTz : Temporal::Timestamp, 0, 9));
            ep = std::move(value);
            return true;
        }
        textArgs(0);
        std::vector<ExprPtr> callArgs = list(std::move(args[0]), number(zoned ? 1 : 0, off));
        for (size_t i = 1; i < n; ++i)
            callArgs.push_back(std::move(args[i]));
        ep = call("ora_to_timestamp", std::move(callArgs),
                  Type::temporalOf(zoned ? Temporal::TimestampTz : Temporal::Timestamp, 0, 9), off, end);
        return true;
    }
    if (name == "FROM_TZ") {
        needArgs(2, 2);
        Temporal k = temporalKind(args[0]->type);
        if (k != Temporal::Timestamp && k != Temporal::Date)
            raise(932, args[0]->offset, {"TIMESTAMP", kindName(args[0]->type)});
        textArgs(1);
        if (args[1]->kind == ExprKind::String)
            atPosition(args[1]->offset, [&] { return functions::findTimeZone(args[1]->text); });
        Type result = Type::temporalOf(Temporal::TimestampTz, 0, fractionOf(args[0]->type));
        ep = call("ora_from_tz", list(std::move(args[0]), number(static_cast<int>(k), off), std::move(args[1])), result,
                  off, end);
        return true;
    }
    if (name == "SYS_EXTRACT_UTC") {
        needArgs(1, 1);
        Temporal k = temporalKind(args[0]->type);
        if (!isDatetime(k))
            raise(932, args[0]->offset, {"TIMESTAMP WITH TIME ZONE", kindName(args[0]->type)});
        Type result = Type::temporalOf(Temporal::Timestamp, 0, fractionOf(args[0]->type));
        ep = call("ora_sys_extract_utc", list(std::move(args[0]), number(static_cast<int>(k), off)), result, off, end);
        return true;
    }
    if (name == "TZ_OFFSET") {
        needArgs(1, 1);
        textArgs(0);
        ep = call("ora_tz_offset", std::move(e.args), Type::text(), off, end);
        return true;
    }
    return false;
}

}  // namespace localdb
