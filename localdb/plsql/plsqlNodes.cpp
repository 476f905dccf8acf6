// How each node runs.
#include "localdb/plsql/plsqlNodes.h"

#include "localdb/plsql/plsqlNumeric.h"

#include "localdb/system/errors.h"
#include "localdb/functions/date_calendar.h"
#include "localdb/system/sqlite_errors.h"

#include <sqlite3.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace localdb::plsql {
namespace {

int compareDates(const DateTime &a, const DateTime &b) {
    const int x[] = {a.year, a.month, a.day, a.hour, a.minute, a.second};
    const int y[] = {b.year, b.month, b.day, b.hour, b.minute, b.second};
    for (int i = 0; i < 6; ++i)
        if (x[i] != y[i])
            return x[i] < y[i] ? -1 : 1;
    return 0;
}

bool isNumberDatum(const Datum &d) { return d.index() == 1 || d.index() == 2; }

// Oracle's comparison of two non-null values, with the implicit conversion of text to a number
// or a date when the other side is one.
int compareValues(Context &ctx, const Datum &a, const Datum &b) {
    if (auto *x = std::get_if<std::int64_t>(&a))
        if (auto *y = std::get_if<std::int64_t>(&b))
            return *x < *y ? -1 : *x > *y ? 1 : 0;
    if (isNumberDatum(a) || isNumberDatum(b)) {
        double x = toDouble(toNumber(a, ctx.session()));
        double y = toDouble(toNumber(b, ctx.session()));
        return x < y ? -1 : x > y ? 1 : 0;
    }
    if (a.index() == 4 || b.index() == 4)
        return compareDates(toDate(a, ctx.session()), toDate(b, ctx.session()));
    if (a.index() == 6 && b.index() == 6)
        return int(std::get<bool>(a)) - int(std::get<bool>(b));
    const std::string x = toText(a, ctx.session()), y = toText(b, ctx.session());
    int c = x.compare(y);
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

// Binary's arithmetic operators in ArithmeticOp's order.
ArithmeticOp arithmeticOp(Binary::Op op) {
    static_assert(int(Binary::Add) == int(ArithmeticOp::Add) && int(Binary::Power) == int(ArithmeticOp::Power));
    return ArithmeticOp(int(op));
}

Datum truthDatum(Truth t) { return t == Truth::Null ? Datum() : Datum(t == Truth::True); }

bool comparisonHolds(Binary::Op op, int c) {
    switch (op) {
    case Binary::Eq:
        return c == 0;
    case Binary::Ne:
        return c != 0;
    case Binary::Lt:
        return c < 0;
    case Binary::Le:
        return c <= 0;
    case Binary::Gt:
        return c > 0;
    default:
        return c >= 0;
    }
}

Datum readColumn(sqlite3_stmt *s, int column, bool isDate) {
    switch (sqlite3_column_type(s, column)) {
    case SQLITE_INTEGER:
        return std::int64_t(sqlite3_column_int64(s, column));
    case SQLITE_FLOAT:
        return sqlite3_column_double(s, column);
    case SQLITE_TEXT: {
        std::string text(reinterpret_cast<const char *>(sqlite3_column_text(s, column)),
                         size_t(sqlite3_column_bytes(s, column)));
        if (isDate)
            if (auto d = functions::parseStorageDate(text))
                return *d;
        return text;
    }
    case SQLITE_BLOB: {
        Bytes b;
        auto *p = static_cast<const std::uint8_t *>(sqlite3_column_blob(s, column));
        b.data.assign(p, p + sqlite3_column_bytes(s, column));
        return b;
    }
    default:
        return std::monostate{};
    }
}

// Runs f, turning the engine's failures into PL/SQL errors.
template <typename F>
auto engineCall(Context &ctx, F f) -> decltype(f()) {
    try {
        return f();
    } catch (const SqliteError &e) {
        throw fromEngineError(oracleError(e, *ctx.core.catalog, false));
    } catch (const Error &e) {
        throw fromEngineError(e);
    }
}

// The block's changes begin: the write transaction and the savepoint that undoes the whole call.
void beginChange(Context &ctx) {
    if (ctx.state.queryDepth > 0)
        raiseCode(14551);
    engineCall(ctx, [&] {
        beginWrite(ctx.core);
        if (!ctx.state.blockSavepoint) {
            ctx.core.db->exec("SAVEPOINT kdb_block");
            ctx.state.blockSavepoint = true;
        }
    });
}

}  // namespace

void Context::poll() {
    ticksToPoll = kTicksBetweenPolls;
    if (progress && progress->poll())
        raiseCode(1013);
}

Numeric Expr::evalNumeric(Context &ctx) const { return numericOf(eval(ctx), ctx.session()); }

Truth Expr::evalTruth(Context &ctx) const {
    const Datum d = eval(ctx);
    if (isNull(d))
        return Truth::Null;
    return toBoolean(d) ? Truth::True : Truth::False;
}

Numeric Literal::evalNumeric(Context &ctx) const {
    if (auto *i = std::get_if<std::int64_t>(&value))
        return Numeric::integer(*i);
    return numericOf(value, ctx.session());
}

Numeric VarRef::evalNumeric(Context &ctx) const { return numericOf(frameOf(ctx).slots[size_t(slot)], ctx.session()); }

Numeric PackageVar::evalNumeric(Context &ctx) const {
    return numericOf(packageFrame(ctx, *package).slots[size_t(slot)], ctx.session());
}

void VarRef::assign(Context &ctx, Datum value) const { frameOf(ctx).slots[size_t(slot)] = std::move(value); }

void PackageVar::assign(Context &ctx, Datum value) const {
    packageFrame(ctx, *package).slots[size_t(slot)] = std::move(value);
}

Datum FieldRef::eval(Context &ctx) const {
    Datum r = base->eval(ctx);
    if (auto *rec = std::get_if<std::shared_ptr<Record>>(&r))
        return (*rec)->fields[size_t(index)];
    raiseCode(6530);
}

void FieldRef::assign(Context &ctx, Datum value) const {
    Datum r = base->eval(ctx);
    auto *rec = std::get_if<std::shared_ptr<Record>>(&r);
    if (!rec)
        raiseCode(6530);
    // Records are shared between the slot and this copy, so the slot sees the change.
    (*rec)->fields[size_t(index)] = std::move(value);
}

Datum BindVar::eval(Context &ctx) const {
    if (ctx.binds)
        for (const auto &b : *ctx.binds) {
            std::string n = b.name;
            if (!n.empty() && n[0] == ':')
                n.erase(0, 1);
            for (char &c : n)
                c = char(std::toupper(static_cast<unsigned char>(c)));
            if (n == name)
                return fromValue(b.value);
        }
    raiseCode(1008);
}

void BindVar::assign(Context &ctx, Datum value) const {
    if (ctx.binds)
        for (auto &b : *ctx.binds) {
            std::string n = b.name;
            if (!n.empty() && n[0] == ':')
                n.erase(0, 1);
            for (char &c : n)
                c = char(std::toupper(static_cast<unsigned char>(c)));
            if (n == name) {
                if (std::holds_alternative<bool>(value))
                    raiseCode(6550);
                b.value = toValue(value);
                return;
            }
        }
    raiseCode(1008);
}

void Binary::Operand::settle(const Expr &e) {
    kind = Node;
    if (const auto *v = dynamic_cast<const VarRef *>(&e); v && v->depth == 0) {
        kind = Local;
        slot = v->slot;
    } else if (const auto *l = dynamic_cast<const Literal *>(&e); l && isNumberDatum(l->value)) {
        kind = Constant;
        constant = std::holds_alternative<std::int64_t>(l->value) ? Numeric::integer(std::get<std::int64_t>(l->value))
                                                                  : Numeric::real(std::get<double>(l->value));
    }
}

inline Numeric Binary::Operand::value(const Expr &e, Context &ctx) const {
    if (kind == Local) {
        const Datum &d = ctx.frame->slots[size_t(slot)];
        if (const auto *i = std::get_if<std::int64_t>(&d))
            return Numeric::integer(*i);
        return numericOf(d, ctx.session());
    }
    if (kind == Constant)
        return constant;
    return e.evalNumeric(ctx);
}

void Binary::settle() {
    type = isComparison() || op == And || op == Or ? PlType::boolean()
           : op == Concat                          ? PlType::text()
                                                   : PlType::number();
    mode_ = Mode::General;
    if ((isArithmetic() || isComparison()) && left->type.isNumeric() && right->type.isNumeric())
        mode_ = Mode::Numbers;
    // PLS_INTEGER operands (integer literals among them): 2147483647 + 1 overflows as Oracle's does.
    if ((op == Add || op == Sub || op == Mul) && left->type.kind == TypeKind::Integer &&
        right->type.kind == TypeKind::Integer) {
        mode_ = Mode::Integers;
        type = PlType::integer();
    }
    left_.settle(*left);
    right_.settle(*right);
}

ExprP makeBinary(std::unique_ptr<Binary> b) {
    b->settle();
    const auto *l = dynamic_cast<const Literal *>(b->left.get());
    const auto *r = dynamic_cast<const Literal *>(b->right.get());
    if (!b->isArithmetic() || !l || !r || !isNumberDatum(l->value) || !isNumberDatum(r->value))
        return b;
    const SessionContext noSession;
    try {
        const Numeric x = numericOf(l->value, noSession), y = numericOf(r->value, noSession);
        auto folded = std::make_unique<Literal>();
        folded->value = datumOf(b->type.kind == TypeKind::Integer ? integerArithmetic(arithmeticOp(b->op), x, y)
                                                                  : numberArithmetic(arithmeticOp(b->op), x, y));
        folded->type = b->type;
        folded->line = b->line;
        folded->column = b->column;
        return folded;
    } catch (const PlError &) {
        return b;  // 1 / 0 fails when it runs, as Oracle's does
    }
}

Datum Binary::eval(Context &ctx) const {
    if (isArithmetic()) {
        if (mode_ != Mode::General)
            return datumOf(evalNumeric(ctx));
        Datum a = left->eval(ctx);
        Datum b = right->eval(ctx);
        if (isNull(a) || isNull(b))
            return {};
        return datumOf(numberArithmetic(arithmeticOp(op), numericOf(a, ctx.session()), numericOf(b, ctx.session())));
    }
    if (op == Concat) {
        std::string s = toText(left->eval(ctx), ctx.session());
        s += toText(right->eval(ctx), ctx.session());
        if (s.empty())
            return {};
        return s;
    }
    return truthDatum(evalTruth(ctx));
}

Numeric Binary::evalNumeric(Context &ctx) const {
    if (mode_ == Mode::General || !isArithmetic())
        return Expr::evalNumeric(ctx);
    const Numeric a = left_.value(*left, ctx);
    const Numeric b = right_.value(*right, ctx);
    if (a.kind == Numeric::Null || b.kind == Numeric::Null)
        return {};
    if (a.kind == Numeric::Integer && b.kind == Numeric::Integer && op <= Mul) {
        // The common case inline; overflow and the rest go the general way below.
        std::int64_t r;
        const bool overflow = op == Add   ? __builtin_add_overflow(a.i, b.i, &r)
                              : op == Sub ? __builtin_sub_overflow(a.i, b.i, &r)
                                          : __builtin_mul_overflow(a.i, b.i, &r);
        if (!overflow && (mode_ != Mode::Integers || fitsPlsInteger(r)))
            return Numeric::integer(r);
    }
    if (mode_ == Mode::Integers)
        return integerArithmetic(arithmeticOp(op), a, b);
    return numberArithmetic(arithmeticOp(op), a, b);
}

Truth Binary::evalTruth(Context &ctx) const {
    switch (op) {
    case And: {
        const Truth a = left->evalTruth(ctx);
        if (a == Truth::False)
            return Truth::False;
        const Truth b = right->evalTruth(ctx);
        if (b == Truth::False)
            return Truth::False;
        return a == Truth::Null || b == Truth::Null ? Truth::Null : Truth::True;
    }
    case Or: {
        const Truth a = left->evalTruth(ctx);
        if (a == Truth::True)
            return Truth::True;
        const Truth b = right->evalTruth(ctx);
        if (b == Truth::True)
            return Truth::True;
        return a == Truth::Null || b == Truth::Null ? Truth::Null : Truth::False;
    }
    default:
        break;
    }
    if (!isComparison())
        return Expr::evalTruth(ctx);
    int c;
    if (mode_ != Mode::General) {
        const Numeric a = left_.value(*left, ctx);
        const Numeric b = right_.value(*right, ctx);
        if (a.kind == Numeric::Null || b.kind == Numeric::Null)
            return Truth::Null;
        c = compareNumerics(a, b);
    } else {
        const Datum a = left->eval(ctx);
        const Datum b = right->eval(ctx);
        if (isNull(a) || isNull(b))
            return Truth::Null;
        c = compareValues(ctx, a, b);
    }
    return comparisonHolds(op, c) ? Truth::True : Truth::False;
}

Datum Unary::eval(Context &ctx) const {
    if (op == Neg)
        return datumOf(evalNumeric(ctx));
    return truthDatum(evalTruth(ctx));
}

Numeric Unary::evalNumeric(Context &ctx) const {
    if (op != Neg)
        return Expr::evalNumeric(ctx);
    const Numeric a = operand->evalNumeric(ctx);
    if (a.kind == Numeric::Integer && a.i != INT64_MIN)
        return Numeric::integer(-a.i);
    if (a.kind == Numeric::Null)
        return a;
    return Numeric::real(-a.toDouble());
}

Truth Unary::evalTruth(Context &ctx) const {
    switch (op) {
    case IsNull:
        return isNull(operand->eval(ctx)) ? Truth::True : Truth::False;
    case IsNotNull:
        return isNull(operand->eval(ctx)) ? Truth::False : Truth::True;
    case Not: {
        const Truth a = operand->evalTruth(ctx);
        return a == Truth::Null ? a : a == Truth::True ? Truth::False : Truth::True;
    }
    default:
        return Expr::evalTruth(ctx);
    }
}

Datum Between::eval(Context &ctx) const {
    Datum v = value->eval(ctx), lo = low->eval(ctx), hi = high->eval(ctx);
    if (isNull(v) || isNull(lo) || isNull(hi))
        return {};
    bool in = compareValues(ctx, v, lo) >= 0 && compareValues(ctx, v, hi) <= 0;
    return in != negated;
}

Datum InList::eval(Context &ctx) const {
    Datum v = value->eval(ctx);
    if (isNull(v))
        return {};
    bool sawNull = false;
    for (const auto &item : items) {
        Datum x = item->eval(ctx);
        if (isNull(x)) {
            sawNull = true;
            continue;
        }
        if (compareValues(ctx, v, x) == 0)
            return !negated;
    }
    if (sawNull)
        return {};
    return negated;
}

Datum CaseExpr::eval(Context &ctx) const {
    if (selector) {
        Datum s = selector->eval(ctx);
        for (size_t i = 0; i < whens.size(); ++i) {
            Datum w = whens[i]->eval(ctx);
            if (!isNull(s) && !isNull(w) && compareValues(ctx, s, w) == 0)
                return thens[i]->eval(ctx);
        }
    } else {
        for (size_t i = 0; i < whens.size(); ++i)
            if (whens[i]->evalTruth(ctx) == Truth::True)
                return thens[i]->eval(ctx);
    }
    if (otherwise)
        return otherwise->eval(ctx);
    return {};
}

Datum NativeFunction::eval(Context &ctx) const {
    std::vector<Datum> values;
    values.reserve(args.size());
    for (const auto &a : args)
        values.push_back(a->eval(ctx));
    return fn(ctx, values);
}

void SqlStatement::bind(Context &ctx, Prepared &p) const {
    sqlite3_stmt *s = p.handle();
    const int count = sqlite3_bind_parameter_count(s);
    for (int i = 1; i <= count; ++i) {
        const char *name = sqlite3_bind_parameter_name(s, i);
        if (!name || std::strncmp(name, ":kb_", 4) != 0)
            continue;
        if (name[4] == '_') {
            const size_t host = size_t(std::atoi(name + 5));
            p.bindValue(i, toValue(hosts[host]->eval(ctx)));
            continue;
        }
        BindVar b;
        b.name = name + 4;
        p.bindValue(i, toValue(b.eval(ctx)));
    }
}

Datum SqlExpression::eval(Context &ctx) const {
    SqlStatement sql;
    return engineCall(ctx, [&]() -> Datum {
        Prepared p = statement->take(*ctx.core.db, 0);
        Datum result;
        try {
            sqlite3_stmt *s = p.handle();
            const int count = sqlite3_bind_parameter_count(s);
            for (int i = 1; i <= count; ++i) {
                const char *name = sqlite3_bind_parameter_name(s, i);
                if (name && std::strncmp(name, ":kb__", 5) == 0)
                    p.bindValue(i, toValue(hosts[size_t(std::atoi(name + 5))]->eval(ctx)));
                else if (name && std::strncmp(name, ":kb_", 4) == 0) {
                    BindVar b;
                    b.name = name + 4;
                    p.bindValue(i, toValue(b.eval(ctx)));
                }
            }
            if (p.step())
                result = readColumn(s, 0, dateResult);
        } catch (...) {
            statement->giveBack(0, std::move(p));
            throw;
        }
        statement->giveBack(0, std::move(p));
        return result;
    });
}

Datum SqlCodeExpr::eval(Context &ctx) const {
    if (!ctx.handling)
        return std::int64_t(0);
    return sqlCodeOf(*ctx.handling);
}

Datum SqlErrmExpr::eval(Context &ctx) const {
    if (code) {
        Datum c = code->eval(ctx);
        std::int64_t n = isNull(c) ? 0 : std::get<std::int64_t>(assignTo(PlType::integer(), c, ctx.session()));
        if (n == 0)
            return std::string("ORA-0000: normal, successful completion");
        if (n == 100)
            return messageOf(1403);
        if (n > 0)
            return std::string(n == 1 ? "User-Defined Exception" : "-" + std::to_string(n) + ": non-ORACLE exception ");
        return messageOf(int(-n));
    }
    if (!ctx.handling)
        return std::string("ORA-0000: normal, successful completion");
    return sqlErrmOf(*ctx.handling);
}

Datum CursorAttribute::eval(Context &ctx) const {
    if (implicit) {
        switch (kind) {
        case IsOpen:
            return false;
        case RowCount:
            return ctx.sqlRowCount;
        case Found:
            return isNull(ctx.sqlRowCount) ? Datum() : Datum(ctx.sqlFound);
        case NotFound:
            return isNull(ctx.sqlRowCount) ? Datum() : Datum(!ctx.sqlFound);
        }
    }
    Frame *f = ctx.frame;
    if (package)
        f = &packageFrame(ctx, *package);
    else
        for (int i = 0; i < depth; ++i)
            f = f->up;
    const CursorState &c = f->cursors[size_t(cursor)];
    if (kind == IsOpen)
        return c.open;
    if (!c.open)
        raiseCode(1001);
    switch (kind) {
    case RowCount:
        return c.rowCount;
    case Found:
        return c.fetched ? Datum(c.found) : Datum();
    case NotFound:
        return c.fetched ? Datum(!c.found) : Datum();
    default:
        return {};
    }
}

Datum Call::eval(Context &ctx) const {
    const auto &params = callee->params;
    std::vector<Datum> values(params.size());
    for (size_t i = 0; i < params.size(); ++i) {
        if (params[i].mode == 2)
            continue;
        if (args[i])
            values[i] = args[i]->eval(ctx);
        else if (params[i].defaultValue)
            values[i] = params[i].defaultValue->eval(ctx);
    }
    Frame *link = nullptr;
    if (linkDepth >= 0) {
        link = ctx.frame;
        for (int i = 0; i < linkDepth; ++i)
            link = link->up;
    } else if (callee->package) {
        link = &packageFrame(ctx, *callee->package);
    }
    Datum result = callSubprogram(ctx, *callee, values, link);
    for (size_t i = 0; i < params.size(); ++i)
        if (params[i].mode != 1 && args[i]) {
            auto *t = static_cast<const Target *>(args[i].get());
            t->assign(ctx, assignTo(t->type, std::move(values[i]), ctx.session()));
        }
    return result;
}

Flow StmtList::exec(Context &ctx) const {
    const size_t n = items.size();
    size_t i = 0;
    while (i < n) {
        const Stmt &s = *items[i];
        ctx.frame->line = s.line;
        Flow f = s.exec(ctx);
        if (f != Flow::Normal) {
            if (f == Flow::Goto && !labels.empty()) {
                auto it = labels.find(ctx.flowLabel);
                if (it != labels.end()) {
                    ctx.flowLabel = 0;
                    i = it->second;
                    ctx.tick();  // a GOTO back makes a loop of its own
                    continue;
                }
            }
            return f;
        }
        ++i;
    }
    return Flow::Normal;
}

bool Handler::matches(const PlError &e) const {
    if (others)
        return true;
    for (const ExceptionDecl *d : exceptions)
        if (e.exception == d || (d->code && d->code == e.code))
            return true;
    for (int c : codes)
        if (c == e.code && !(e.exception && e.code == 1))
            return true;
    return false;
}

Flow Block::exec(Context &ctx) const {
    Flow f = declarations.exec(ctx);
    if (f != Flow::Normal)
        return f;
    if (handlers.empty())
        return body.exec(ctx);
    Frame *frame = ctx.frame;
    try {
        return body.exec(ctx);
    } catch (PlError &e) {
        ctx.frame = frame;
        for (const Handler &h : handlers) {
            if (!h.matches(e))
                continue;
            PlError caught = std::move(e);
            const PlError *outer = ctx.handling;
            ctx.handling = &caught;
            try {
                f = h.body.exec(ctx);
            } catch (...) {
                ctx.handling = outer;
                throw;
            }
            ctx.handling = outer;
            return f;
        }
        throw;
    }
}

Flow Assign::exec(Context &ctx) const {
    if (target->type.isNumeric() && value->type.isNumeric()) {
        // Numbers go into a variable without a Datum built on the way.
        const Numeric n = value->evalNumeric(ctx);
        if (Datum *variable = target->storage(ctx))
            storeNumeric(*variable, n, target->type, ctx.session());
        else
            target->assign(ctx, assignTo(target->type, datumOf(n), ctx.session()));
        return Flow::Normal;
    }
    target->assign(ctx, assignTo(target->type, value->eval(ctx), ctx.session()));
    return Flow::Normal;
}

Flow Initialise::exec(Context &ctx) const {
    ctx.frame->slots[size_t(slot)] = value ? assignTo(type, value->eval(ctx), ctx.session()) : initialValue(type);
    return Flow::Normal;
}

Flow If::exec(Context &ctx) const {
    for (size_t i = 0; i < conditions.size(); ++i)
        if (conditions[i]->evalTruth(ctx) == Truth::True)
            return branches[i].exec(ctx);
    if (otherwise)
        return otherwise->exec(ctx);
    return Flow::Normal;
}

Flow CaseStmt::exec(Context &ctx) const {
    Datum s;
    if (selector)
        s = selector->eval(ctx);
    for (size_t i = 0; i < whens.size(); ++i) {
        Datum w = whens[i]->eval(ctx);
        bool hit = selector ? (!isNull(s) && !isNull(w) && compareValues(ctx, s, w) == 0) : toBoolean(w);
        if (hit)
            return branches[i].exec(ctx);
    }
    if (otherwise)
        return otherwise->exec(ctx);
    raiseCode(6592);
}

namespace {

// What a loop does with a flow leaving its body: true to leave the loop with result.
bool loopExit(Context &ctx, Flow f, int label, Flow &result) {
    if (f == Flow::Exit || f == Flow::Continue) {
        if (ctx.flowLabel == 0 || ctx.flowLabel == label) {
            ctx.flowLabel = 0;
            result = Flow::Normal;
            return f == Flow::Exit;
        }
    }
    result = f;
    return true;
}

}  // namespace

Flow Loop::exec(Context &ctx) const {
    for (;;) {
        ctx.tick();
        if (whileCondition) {
            ctx.frame->line = line;
            if (whileCondition->evalTruth(ctx) != Truth::True)
                return Flow::Normal;
        }
        Flow f = body.exec(ctx);
        if (f == Flow::Normal)
            continue;
        Flow result;
        if (loopExit(ctx, f, label, result))
            return result;
    }
}

Flow ForRange::exec(Context &ctx) const {
    Datum lo = assignTo(PlType::integer(), low->eval(ctx), ctx.session());
    Datum hi = assignTo(PlType::integer(), high->eval(ctx), ctx.session());
    if (isNull(lo) || isNull(hi))
        raiseCode(6502);
    std::int64_t a = std::get<std::int64_t>(lo), b = std::get<std::int64_t>(hi);
    Datum &counter = ctx.frame->slots[size_t(slot)];
    for (std::int64_t i = reverse ? b : a; reverse ? i >= a : i <= b; reverse ? --i : ++i) {
        ctx.tick();
        counter = i;
        Flow f = body.exec(ctx);
        if (f == Flow::Normal)
            continue;
        Flow result;
        if (loopExit(ctx, f, label, result))
            return result;
    }
    return Flow::Normal;
}

Flow ExitStmt::exec(Context &ctx) const {
    if (when && when->evalTruth(ctx) != Truth::True)
        return Flow::Normal;
    ctx.flowLabel = label;
    return isContinue ? Flow::Continue : Flow::Exit;
}

Flow GotoStmt::exec(Context &ctx) const {
    ctx.flowLabel = label;
    return Flow::Goto;
}

Flow ReturnStmt::exec(Context &ctx) const {
    if (value && type.isNumeric() && value->type.isNumeric())
        storeNumeric(ctx.returnValue, value->evalNumeric(ctx), type, ctx.session());
    else if (value)
        ctx.returnValue = assignTo(type, value->eval(ctx), ctx.session());
    return Flow::Return;
}

Flow RaiseStmt::exec(Context &ctx) const {
    if (reraise) {
        PlError e = *ctx.handling;
        e.stack.clear();
        e.traced = false;
        throw e;
    }
    PlError e;
    if (exception) {
        e.exception = exception;
        e.code = exception->code ? exception->code : 1;
        e.message = exception->code ? messageOf(exception->code) : "User-Defined Exception";
    } else {
        e.code = code;
        e.message = messageOf(code);
    }
    throw e;
}

Flow BuiltinCall::exec(Context &ctx) const {
    std::vector<Datum> values;
    values.reserve(args.size());
    for (const auto &a : args)
        values.push_back(a ? a->eval(ctx) : Datum());
    fn(ctx, values);
    for (size_t i = 0; i < outArgs.size() && i < values.size(); ++i)
        if (outArgs[i])
            outArgs[i]->assign(ctx, assignTo(outArgs[i]->type, std::move(values[i]), ctx.session()));
    return Flow::Normal;
}

Flow DmlStmt::exec(Context &ctx) const {
    beginChange(ctx);
    std::int64_t rows = 0;
    auto &compiled = *sql.statement;
    std::vector<Datum> returned;
    const bool atomic = compiled.steps.size() > 1;
    try {
        if (atomic)
            ctx.core.db->exec("SAVEPOINT kdb_dml");
        for (size_t i = 0; i < compiled.steps.size(); ++i) {
            Prepared p = compiled.take(*ctx.core.db, i);
            try {
                sql.bind(ctx, p);
                const bool counted = compiled.counted.empty() || compiled.counted[i];
                if (counted && !returning.empty()) {
                    while (p.step()) {
                        if (!returned.empty())
                            raiseCode(1422);
                        for (int c = 0; c < int(returning.size()); ++c)
                            returned.push_back(readColumn(p.handle(), c, returning[size_t(c)]->type.kind == TypeKind::Date));
                    }
                } else {
                    p.run();
                }
                if (counted)
                    rows += sqlite3_changes(ctx.core.db->handle());
            } catch (...) {
                compiled.giveBack(i, std::move(p));
                throw;
            }
            compiled.giveBack(i, std::move(p));
        }
        if (atomic)
            ctx.core.db->exec("RELEASE kdb_dml");
    } catch (const SqliteError &e) {
        if (atomic)
            ctx.core.db->exec("ROLLBACK TO kdb_dml; RELEASE kdb_dml");
        throw fromEngineError(oracleError(e, *ctx.core.catalog, compiled.isUpdate));
    } catch (const Error &e) {
        if (atomic)
            ctx.core.db->exec("ROLLBACK TO kdb_dml; RELEASE kdb_dml");
        throw fromEngineError(e);
    }
    ctx.sqlRowCount = rows;
    ctx.sqlFound = rows > 0;
    for (size_t i = 0; i < returning.size(); ++i)
        returning[i]->assign(ctx, assignTo(returning[i]->type, i < returned.size() ? returned[i] : Datum(),
                                           ctx.session()));
    return Flow::Normal;
}

namespace {

std::vector<Datum> singleRow(Context &ctx, const SqlStatement &sql) {
    auto &compiled = *sql.statement;
    return engineCall(ctx, [&] {
        Prepared p = compiled.take(*ctx.core.db, 0);
        std::vector<Datum> row;
        try {
            sql.bind(ctx, p);
            if (!p.step())
                raiseCode(1403);
            const int n = sqlite3_column_count(p.handle());
            for (int c = 0; c < n; ++c)
                row.push_back(readColumn(p.handle(), c, size_t(c) < sql.dateColumns.size() && sql.dateColumns[size_t(c)]));
            if (p.step())
                raiseCode(1422);
        } catch (...) {
            compiled.giveBack(0, std::move(p));
            throw;
        }
        compiled.giveBack(0, std::move(p));
        return row;
    });
}

// Puts a fetched row into INTO targets: one record, or one target per column.
void storeRow(Context &ctx, const std::vector<TargetP> &into, std::vector<Datum> &row) {
    if (into.size() == 1 && into[0]->type.kind == TypeKind::Record) {
        auto r = std::make_shared<Record>();
        r->fields = std::move(row);
        into[0]->assign(ctx, assignTo(into[0]->type, r, ctx.session()));
        return;
    }
    if (row.size() != into.size())
        raiseCode(6504);
    for (size_t i = 0; i < into.size(); ++i)
        into[i]->assign(ctx, assignTo(into[i]->type, std::move(row[i]), ctx.session()));
}

}  // namespace

Flow SelectInto::exec(Context &ctx) const {
    std::vector<Datum> row;
    try {
        row = singleRow(ctx, sql);
    } catch (PlError &) {
        ctx.sqlRowCount = std::int64_t(0);
        ctx.sqlFound = false;
        throw;
    }
    ctx.sqlRowCount = std::int64_t(1);
    ctx.sqlFound = true;
    storeRow(ctx, into, row);
    return Flow::Normal;
}

Flow TransactionStmt::exec(Context &ctx) const {
    if (ctx.state.queryDepth > 0)
        raiseCode(14551);
    engineCall(ctx, [&] {
        switch (kind) {
        case Commit:
            commitWork(ctx.core);
            ctx.state.blockSavepoint = false;
            break;
        case Rollback:
            rollbackWork(ctx.core);
            ctx.state.blockSavepoint = false;
            break;
        case RollbackTo: {
            auto &sp = ctx.core.savepoints;
            auto it = std::find(sp.begin(), sp.end(), savepoint);
            if (it == sp.end())
                raise(1086, -1, {savepoint});
            sp.erase(it + 1, sp.end());
            ctx.core.db->exec("ROLLBACK TO " + quoteIdent("u_" + savepoint));
            break;
        }
        case Savepoint:
            beginChange(ctx);
            ctx.core.db->exec("SAVEPOINT " + quoteIdent("u_" + savepoint));
            ctx.core.savepoints.push_back(savepoint);
            break;
        }
    });
    return Flow::Normal;
}

void CursorState::close() {
    if (open && statement)
        statement->giveBack(0, std::move(prepared));
    prepared = Prepared();
    open = false;
}

CursorState &cursorState(Context &ctx, const CursorDecl &c, int depth) {
    Frame *f = ctx.frame;
    if (c.package)
        f = &packageFrame(ctx, *c.package);
    else
        for (int i = 0; i < depth; ++i)
            f = f->up;
    return f->cursors[size_t(c.index)];
}

void openCursor(Context &ctx, const CursorDecl &c, CursorState &state, const std::vector<ExprP> &args) {
    if (state.open)
        raiseCode(6511);
    std::vector<Datum> values;
    for (size_t i = 0; i < c.params.size(); ++i) {
        Datum v = i < args.size() && args[i] ? args[i]->eval(ctx)
                  : c.params[i].defaultValue ? c.params[i].defaultValue->eval(ctx)
                                             : Datum();
        values.push_back(assignTo(c.params[i].type, std::move(v), ctx.session()));
    }
    // The query's variables belong to the frame that declared the cursor.
    Frame *saved = ctx.frame;
    Frame *declaring = c.package ? &packageFrame(ctx, *c.package) : nullptr;
    if (!declaring) {
        declaring = ctx.frame;
        while (declaring->cursors.size() <= size_t(c.index) || &declaring->cursors[size_t(c.index)] != &state)
            declaring = declaring->up;
    }
    for (size_t i = 0; i < c.params.size(); ++i)
        declaring->slots[size_t(c.params[i].slot)] = std::move(values[i]);
    ctx.frame = declaring;
    try {
        engineCall(ctx, [&] {
            state.statement = c.sql.statement;
            state.prepared = c.sql.statement->take(*ctx.core.db, 0);
            c.sql.bind(ctx, state.prepared);
        });
    } catch (...) {
        ctx.frame = saved;
        if (state.prepared)
            c.sql.statement->giveBack(0, std::move(state.prepared));
        throw;
    }
    ctx.frame = saved;
    state.open = true;
    state.found = false;
    state.fetched = false;
    state.rowCount = 0;
}

bool fetchRow(Context &ctx, CursorState &state, std::vector<Datum> &row) {
    if (!state.open)
        raiseCode(1001);
    bool has = engineCall(ctx, [&] { return state.prepared.step(); });
    state.fetched = true;
    state.found = has;
    if (!has)
        return false;
    ++state.rowCount;
    sqlite3_stmt *s = state.prepared.handle();
    const int n = sqlite3_column_count(s);
    const auto &dates = state.statement->dateColumns;
    row.clear();
    for (int c = 0; c < n; ++c)
        row.push_back(readColumn(s, c, size_t(c) < dates.size() && dates[size_t(c)]));
    return true;
}

Flow OpenStmt::exec(Context &ctx) const {
    openCursor(ctx, *cursor, cursorState(ctx, *cursor, depth), args);
    return Flow::Normal;
}

Flow FetchStmt::exec(Context &ctx) const {
    std::vector<Datum> row;
    if (fetchRow(ctx, cursorState(ctx, *cursor, depth), row))
        storeRow(ctx, into, row);
    return Flow::Normal;
}

Flow CloseStmt::exec(Context &ctx) const {
    CursorState &s = cursorState(ctx, *cursor, depth);
    if (!s.open)
        raiseCode(1001);
    s.close();
    return Flow::Normal;
}

Flow CursorFor::exec(Context &ctx) const {
    const CursorDecl &decl = cursor ? *cursor : *inlineCursor;
    CursorState &state = cursorState(ctx, decl, cursor ? depth : 0);
    openCursor(ctx, decl, state, args);
    std::vector<Datum> row;
    Flow result = Flow::Normal;
    try {
        while (true) {
            ctx.tick();
            if (!fetchRow(ctx, state, row))
                break;
            auto r = std::make_shared<Record>();
            r->type = recordType.record;
            r->fields = row;
            ctx.frame->slots[size_t(recordSlot)] = r;
            Flow f = body.exec(ctx);
            if (f == Flow::Normal)
                continue;
            if (loopExit(ctx, f, label, result))
                break;
        }
    } catch (...) {
        state.close();
        throw;
    }
    state.close();
    return result;
}

}  // namespace localdb::plsql
