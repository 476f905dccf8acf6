// Binder: expressions — names, pseudo columns, sequences, operators with Oracle's implicit
// conversions, and the functions the core owns (DECODE, NVL, GREATEST ...).
#include "localdb/sql/binder.h"

#include "localdb/sql/binder_datetime.h"
#include "localdb/system/errors.h"
#include "localdb/functions/function_catalog.h"
#include "localdb/sql/window_sql.h"

namespace localdb {
namespace {

const char *typeName(BaseType t) {
    switch (t) {
    case BaseType::Number:
        return "NUMBER";
    case BaseType::Date:
        return "DATE";
    case BaseType::Raw:
        return "BINARY";
    default:
        return "CHAR";
    }
}

ExprPtr wrapIn(ExprPtr inner, const std::string &sqlFunction, Type type) {
    auto w = makeExpr(ExprKind::Function, inner->offset);
    w->endOffset = inner->endOffset;
    w->sqlFunction = sqlFunction;
    w->type = type;
    w->args.push_back(std::move(inner));
    return w;
}

std::string quotedParts(const Name &n) {
    std::string out;
    for (size_t i = 0; i < n.parts.size(); ++i) {
        if (i)
            out += '.';
        out += '"' + n.parts[i] + '"';
    }
    return out;
}

bool isAggregateName(const std::string &name) {
    return name == "COUNT" || name == "SUM" || name == "AVG" || name == "MIN" || name == "MAX";
}

}  // namespace

// DATE 'YYYY-MM-DD' and TIMESTAMP 'YYYY-MM-DD HH24:MI:SS': the literal must be a real date.
void checkDateLiteral(const Expr &e) {
    const std::string &t = e.text;
    auto digits = [&](size_t from, size_t n, int &out) {
        if (t.size() < from + n)
            return false;
        out = 0;
        for (size_t i = from; i < from + n; ++i) {
            if (t[i] < '0' || t[i] > '9')
                return false;
            out = out * 10 + (t[i] - '0');
        }
        return true;
    };
    int y, m, d, hh = 0, mi = 0, ss = 0;
    bool ok = digits(0, 4, y) && t[4] == '-' && digits(5, 2, m) && t[7] == '-' && digits(8, 2, d);
    if (ok && t.size() > 10)
        ok = t.size() >= 19 && t[10] == ' ' && digits(11, 2, hh) && t[13] == ':' && digits(14, 2, mi) &&
             t[16] == ':' && digits(17, 2, ss);
    if (!ok || (t.size() != 10 && t.size() < 19))
        raise(1861, e.offset);
    if (m < 1 || m > 12)
        raise(1843, e.offset);
    static const int days[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    if (y == 0)
        raise(1841, e.offset);
    if (d < 1 || d > days[m - 1] || (m == 2 && d == 29 && !leap))
        raise(1847, e.offset);
    if (hh > 23 || mi > 59 || ss > 59)
        raise(hh > 23 ? 1850 : mi > 59 ? 1851 : 1852, e.offset);
}

void conjuncts(Expr *e, std::vector<Expr *> &out) {
    if (!e)
        return;
    if (e->kind == ExprKind::Binary && e->op == "AND") {
        conjuncts(e->args[0].get(), out);
        conjuncts(e->args[1].get(), out);
    } else {
        out.push_back(e);
    }
}

bool sameExpression(const Expr &a, const Expr &b) {
    if (a.kind != b.kind || a.op != b.op || a.text != b.text || a.binding != b.binding || a.column != b.column ||
        a.scopeDepth != b.scopeDepth || a.sqlFunction != b.sqlFunction || a.negated != b.negated ||
        a.distinct != b.distinct || a.args.size() != b.args.size() || a.whens.size() != b.whens.size() ||
        bool(a.elseExpr) != bool(b.elseExpr) || a.query || b.query || a.analytic || b.analytic)
        return false;
    if (a.kind == ExprKind::Column && a.binding == ColumnBinding::Unbound && a.name.parts != b.name.parts)
        return false;
    for (size_t i = 0; i < a.args.size(); ++i)
        if (!sameExpression(*a.args[i], *b.args[i]))
            return false;
    for (size_t i = 0; i < a.whens.size(); ++i)
        if (!sameExpression(*a.whens[i], *b.whens[i]) || !sameExpression(*a.thens[i], *b.thens[i]))
            return false;
    return !a.elseExpr || sameExpression(*a.elseExpr, *b.elseExpr);
}

void Binder::convert(ExprPtr &e, BaseType wanted) {
    BaseType have = e->type.base;
    if (wanted == BaseType::Unknown || have == wanted || e->kind == ExprKind::Null)
        return;
    if (convertDatetime(e, wanted))
        return;
    if (have == BaseType::Unknown) {
        // A bind variable or NULL-typed value: numbers are made numbers so that SQLite compares
        // them as numbers; text and dates travel as text already.
        if (wanted == BaseType::Number && e->kind == ExprKind::Bind)
            e = wrapIn(std::move(e), "ora_to_number", Type::number());
        return;
    }
    switch (wanted) {
    case BaseType::Number:
        if (have == BaseType::Text)
            e = wrapIn(std::move(e), "ora_to_number", Type::number());
        else
            raise(932, e->offset, {"NUMBER", typeName(have)});
        return;
    case BaseType::Text:
        if (have == BaseType::Number && binaryNumberToText(e))
            return;
        if (have == BaseType::Number)
            e = wrapIn(std::move(e), "ora_to_char", Type::text());
        else if (have == BaseType::Date)
            e = wrapIn(std::move(e), "ora_to_char_date", Type::text());
        else if (have == BaseType::Raw)
            e = wrapIn(std::move(e), "ora_rawtohex", Type::text());
        return;
    case BaseType::Date:
        if (have == BaseType::Text)
            e = wrapIn(std::move(e), "ora_to_date", Type::date());
        else
            raise(932, e->offset, {"DATE", typeName(have)});
        return;
    case BaseType::Raw:
        if (have == BaseType::Text)
            e = wrapIn(std::move(e), "ora_hextoraw", Type::raw());
        else
            raise(932, e->offset, {"BINARY", typeName(have)});
        return;
    default:
        return;
    }
}

// Bytes of a text in the database character set: code page 932 takes two bytes for a
// double-byte character and one for ASCII and half-width katakana.
std::size_t databaseLength(const std::string &text) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < text.size();) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        std::size_t len = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        bool halfWidthKana = len == 3 && c == 0xEF && i + 1 < text.size() &&
                             (static_cast<unsigned char>(text[i + 1]) == 0xBD || static_cast<unsigned char>(text[i + 1]) == 0xBE);
        n += c < 0x80 || halfWidthKana ? 1 : 2;
        i += len;
    }
    return n;
}

// A CHAR column compared with a text literal compares blank-padded: the literal is padded to
// the column's length, so CHAR(5) 'ab   ' equals 'ab'.
void padForChar(const Expr &column, Expr &literal) {
    if (!column.type.hasSpec || (column.type.spec.name != "CHAR" && column.type.spec.name != "NCHAR") ||
        literal.kind != ExprKind::String)
        return;
    std::size_t have = databaseLength(literal.text);
    if (have < std::size_t(column.type.spec.length))
        literal.text.append(std::size_t(column.type.spec.length) - have, ' ');
}

// Comparison operands: character converts to the other side's NUMBER or DATE, never the reverse.
void Binder::compareTypes(ExprPtr &a, ExprPtr &b) {
    padForChar(*a, *b);
    padForChar(*b, *a);
    if (compareDatetimes(a, b))
        return;
    BaseType ta = a->type.base, tb = b->type.base;
    if (ta == tb)
        return;
    if (ta == BaseType::Number && (tb == BaseType::Text || b->kind == ExprKind::Bind))
        convert(b, BaseType::Number);
    else if (tb == BaseType::Number && (ta == BaseType::Text || a->kind == ExprKind::Bind))
        convert(a, BaseType::Number);
    else if (ta == BaseType::Date && tb == BaseType::Text)
        convert(b, BaseType::Date);
    else if (tb == BaseType::Date && ta == BaseType::Text)
        convert(a, BaseType::Date);
    else if ((ta == BaseType::Date && tb == BaseType::Number) || (ta == BaseType::Number && tb == BaseType::Date))
        raise(932, b->offset, {typeName(ta), typeName(tb)});
}

bool Binder::lookupColumn(Scope &scope, const Name &n, Expr &e, int depth) {
    BoundBlock *block = scope.block;
    if (block) {
        const auto &parts = n.parts;
        int foundSource = -1, foundColumn = -1;
        bool qualifierMatched = false;
        for (size_t s = 0; s < block->sources.size(); ++s) {
            const Source &src = block->sources[s];
            const std::string *column = nullptr;
            if (parts.size() == 1) {
                column = &parts[0];
            } else if (parts.size() == 2 && src.alias == parts[0]) {
                column = &parts[1];
                qualifierMatched = true;
            } else if (parts.size() == 3 && src.owner == parts[0] && src.alias == parts[1]) {
                column = &parts[2];
                qualifierMatched = true;
            }
            if (!column)
                continue;
            for (size_t c = 0; c < src.columns.size(); ++c) {
                if (src.columns[c].name != *column)
                    continue;
                if (foundSource >= 0 && foundSource != int(s))
                    raise(918, n.offset());
                foundSource = int(s);
                foundColumn = int(c);
            }
        }
        if (foundSource >= 0) {
            const Source &src = block->sources[size_t(foundSource)];
            const std::string &colName = src.columns[size_t(foundColumn)].name;
            std::string alias = src.sqlAlias;
            if (priorActive_ && depth == 0 && block->hierarchical)
                alias = "kdb_p";
            e.binding = ColumnBinding::TableColumn;
            e.source = foundSource;
            e.scopeDepth = depth;
            if (!src.columnSql.empty())
                e.column = src.columnSql[size_t(foundColumn)];
            else
                e.column = alias.empty() ? quoteIdent(colName) : alias + "." + quoteIdent(colName);
            e.type = src.columns[size_t(foundColumn)].type;
            e.text = colName;
            return true;
        }
        if (qualifierMatched)
            raise(904, n.offsets.back(), {quotedParts(n)});
    }
    if (scope.parent)
        return lookupColumn(*scope.parent, n, e, depth + 1);
    return false;
}

void Binder::bindColumn(ExprPtr &ep, Scope &scope) {
    Expr &e = *ep;
    const auto &parts = e.name.parts;
    if (parts.size() == 1) {
        const std::string &w = parts[0];
        if (w == "ROWNUM") {
            e.binding = ColumnBinding::Rownum;
            e.type = Type::number();
            if (!scope.block)
                raise(904, e.offset, {"\"ROWNUM\""});
            if (scope.inConnectBy) {
                // In CONNECT BY, ROWNUM is the number the candidate row would get. Rows are only
                // counted this way along one branch: exact for the one-row generator
                // "FROM dual CONNECT BY ROWNUM <= n", where each level adds one row.
                e.binding = ColumnBinding::Level;
                e.column = "(kdb_h.lvl + 1)";
                return;
            }
            // The row number is a window function to SQLite, which takes those in the select
            // list and ORDER BY only; WHERE's ROWNUM limits are planned apart.
            if (!scope.analyticAllowed && !scope.inWhere)
                raise(3001, e.offset);
            rownumSeen_ = true;
            // Rows are numbered in storage order when they come from one table, and in the
            // hierarchy's depth-first order when it has CONNECT BY.
            if (scope.block->hierarchical)
                e.column = "kdb_h.path";
            else if (scope.block->sources.size() == 1 && scope.block->sources[0].isTable)
                e.column = scope.block->sources[0].sqlAlias + ".rowid";
            return;
        }
        if (w == "LEVEL") {
            if (!scope.block || !scope.block->hierarchical)
                raise(1788, e.offset);
            e.binding = ColumnBinding::Level;
            e.type = Type::number();
            // CONNECT BY decides whether a candidate joins the hierarchy: LEVEL there is the
            // candidate's level, one below its parent's.
            if (scope.inConnectBy)
                e.column = "(kdb_h.lvl + 1)";
            return;
        }
        if (bindDatetimePseudoColumn(ep))
            return;
        if (w == "SYSDATE") {
            e.binding = ColumnBinding::Sysdate;
            e.type = Type::date();
            return;
        }
        if (w == "USER" || w == "UID") {
            e.binding = ColumnBinding::User;
            e.type = w == "USER" ? Type::text() : Type::number();
            e.text = w;
            return;
        }
    }
    if (!parts.empty() && parts.back() == "ROWID" && scope.block && !scope.block->sources.empty()) {
        int s = 0;
        if (parts.size() == 2) {
            s = -1;
            for (size_t i = 0; i < scope.block->sources.size(); ++i)
                if (scope.block->sources[i].alias == parts[0])
                    s = int(i);
        }
        if (s >= 0 && !scope.block->sources[size_t(s)].derived) {
            e.binding = ColumnBinding::Rowid;
            const std::string &alias = scope.block->sources[size_t(s)].sqlAlias;
            e.column = (alias.empty() ? std::string() : alias + ".") + "rowid";
            e.type = Type::number();
            return;
        }
    }
    if (!scope.columnsAllowed && parts.size() == 1 && parts[0] != "NEXTVAL") {
        if (names_.host())
            names_.noteHostName(parts);
        if (names_.host() && names_.host()->variable(ep))
            return;
        if (parts.size() < 2)
            raise(984, e.offset);
    }
    if (scope.columnsAllowed && lookupColumn(scope, e.name, e, 0))
        return;
    // seq.NEXTVAL, seq.CURRVAL, owner.seq.NEXTVAL
    if (parts.size() >= 2 && (parts.back() == "NEXTVAL" || parts.back() == "CURRVAL")) {
        Name seqName;
        seqName.parts.assign(parts.begin(), parts.end() - 1);
        seqName.offsets.assign(e.name.offsets.begin(), e.name.offsets.end() - 1);
        auto found = names_.find(seqName);
        if (found && found->object.type == "SEQUENCE" && names_.mayAccess(found->object, "SELECT")) {
            if (!sequencesAllowed_)
                raise(2287, e.offset);
            bool next = parts.back() == "NEXTVAL";
            if (next && !nextvalSeen_.insert(found->object.id).second)
                next = false;  // NEXTVAL advances once per row however often it is written
            e.binding = next ? ColumnBinding::NextVal : ColumnBinding::CurrVal;
            e.sequenceKey = std::to_string(found->object.id);
            e.type = Type::number();
            return;
        }
    }
    if (!scope.columnsAllowed)
        raise(984, e.offset);
    if (bindJsonDotNotation(ep, scope))
        return;
    // A stored function may be called without parentheses (f, pkg.f).
    if (names_.host())
        names_.noteHostName(parts);
    if (names_.host() && names_.host()->variable(ep))
        return;
    raise(904, e.name.offsets.back(), {quotedParts(e.name)});
}

// alias.column.key{.key}: the fields of a JSON document held in a text column, read as
// ora_json_query(column, '$.key...', 'DOT', '', '') does (a scalar as its value, an object or
// array as JSON text, no match or text that is not JSON as NULL). Keys written without quotes
// match fields in any case.
bool Binder::bindJsonDotNotation(ExprPtr &ep, Scope &scope) {
    const Name &n = ep->name;
    if (n.parts.size() < 3)
        return false;
    auto column = makeExpr(ExprKind::Column, ep->offset);
    column->name.parts = {n.parts[0], n.parts[1]};
    column->name.offsets = {n.offsets[0], n.offsets[1]};
    if (!lookupColumn(scope, column->name, *column, 0) || column->type.base != BaseType::Text)
        return false;
    std::string path = "$";
    for (size_t i = 2; i < n.parts.size(); ++i) {
        if (n.parts[i][0] == kJsonArrayStep) {
            path += n.parts[i].substr(1);
            continue;
        }
        path += ".\"";
        for (char c : n.parts[i])
            path += c == '"' || c == '\\' ? std::string("\\") + c : std::string(1, c);
        path += '"';
    }
    auto call = makeExpr(ExprKind::Function, ep->offset);
    call->endOffset = ep->endOffset;
    call->op = "JSON_QUERY";
    call->name.parts = {"JSON_QUERY"};
    call->sqlFunction = "ora_json_query";
    call->type = Type::text();
    call->args.push_back(std::move(column));
    for (const std::string &text : {path, std::string("DOT"), std::string(), std::string()}) {
        auto arg = makeExpr(text.empty() ? ExprKind::Null : ExprKind::String, ep->offset);
        arg->text = text;
        arg->type = text.empty() ? Type() : Type::text();
        call->args.push_back(std::move(arg));
    }
    ep = std::move(call);
    return true;
}

void Binder::bindBinary(ExprPtr &ep, Scope &scope) {
    Expr &e = *ep;
    const std::string &op = e.op;
    if (op == "AND" || op == "OR") {
        Scope inner = scope;
        if (op == "OR")
            inner.inWhere = false;  // ROWNUM limits only as top-level conjuncts
        bindExpr(e.args[0], inner);
        bindExpr(e.args[1], inner);
        e.type = Type();
        return;
    }
    bindExpr(e.args[0], scope);
    bindExpr(e.args[1], scope);
    ExprPtr &a = e.args[0];
    ExprPtr &b = e.args[1];
    if (op == "||") {
        convert(a, BaseType::Text);
        convert(b, BaseType::Text);
        e.type = Type::text();
        return;
    }
    if (op == "=" || op == "<>" || op == "<" || op == ">" || op == "<=" || op == ">=" || op == "IS") {
        compareTypes(a, b);
        e.type = Type();
        return;
    }
    if (bindDatetimeArithmetic(ep))
        return;
    BaseType ta = a->type.base, tb = b->type.base;
    if (op == "+" || op == "-") {
        if (ta == BaseType::Date && tb == BaseType::Date) {
            if (op == "+")
                raise(975, e.offset);
            e.sqlFunction = "ora_date_diff";
            e.type = Type::number();
            return;
        }
        if (ta == BaseType::Date || tb == BaseType::Date) {
            if (tb == BaseType::Date && op == "-")
                raise(932, b->offset, {"NUMBER", "DATE"});
            convert(ta == BaseType::Date ? b : a, BaseType::Number);
            e.sqlFunction = "ora_date_add";
            e.type = Type::date();
            return;
        }
    }
    if (ta == BaseType::Date || tb == BaseType::Date)
        raise(932, (ta == BaseType::Date ? a : b)->offset, {"NUMBER", "DATE"});
    if (ta != BaseType::Unknown)
        convert(a, BaseType::Number);
    if (tb != BaseType::Unknown)
        convert(b, BaseType::Number);
    if (op == "/")
        e.sqlFunction = "kdb_div";
    e.type = Type::number();
    // NUMBER meets BINARY_FLOAT meets BINARY_DOUBLE: the result takes the widest of them.
    for (const char *binary : {"BINARY_DOUBLE", "BINARY_FLOAT"}) {
        if ((a->type.hasSpec && a->type.spec.name == binary) || (b->type.hasSpec && b->type.spec.name == binary)) {
            e.type = (a->type.hasSpec && a->type.spec.name == binary) ? a->type : b->type;
            break;
        }
    }
}

void Binder::bindFunction(ExprPtr &ep, Scope &scope) {
    Expr &e = *ep;
    const std::string name = e.op;
    const size_t n = e.args.size();
    const bool hostFunction =
        names_.host() && (e.name.parts.size() > 1 || (!isAggregateName(name) && !findFunction(name)));
    if (hostFunction)
        names_.noteHostName(e.name.parts.empty() ? std::vector<std::string>{name} : e.name.parts);
    if (hostFunction &&
        names_.host()->function(ep, [&](ExprPtr &a) {
            Scope inner = scope;
            inner.inWhere = false;
            bindExpr(a, inner);
        }))
        return;
    if (e.name.parts.size() > 1)
        raise(904, e.offset, {quotedParts(e.name)});
    if (e.analytic || isWindowFunctionName(name)) {
        bindAnalytic(ep, scope);
        return;
    }
    if (name == "GROUPING" || name == "GROUPING_ID" || name == "GROUP_ID") {
        bindGroupingFunction(ep, scope);
        return;
    }
    if (isAggregateName(name)) {
        if (!scope.aggregatesAllowed)
            raise(934, e.offset);
        if (n != 1)
            raise(909, e.offset);
        e.aggregate = true;
        Scope inner = scope;
        inner.aggregatesAllowed = false;
        inner.analyticAllowed = false;
        inner.inWhere = false;
        if (e.args[0]->kind == ExprKind::Star) {
            if (name != "COUNT")
                raise(936, e.args[0]->offset);
            e.sqlFunction = "count";
            e.type = Type::number();
            return;
        }
        bindExpr(e.args[0], inner);
        const bool interval = e.args[0]->type.isInterval();
        if ((name == "SUM" || name == "AVG") && !interval)
            convert(e.args[0], BaseType::Number);
        std::string lower = name;
        for (char &c : lower)
            c = char(c - 'A' + 'a');
        e.sqlFunction = lower;
        e.type = (name == "MIN" || name == "MAX") ? e.args[0]->type : Type::number();
        if (interval && (name == "SUM" || name == "AVG")) {
            // Sums and averages of intervals are intervals of the widest precision.
            e.type = Type::temporalOf(e.args[0]->type.temporal, 9, e.args[0]->type.fraction);
        }
        if (name == "MIN" || name == "MAX")
            e.type.hasSpec = false;
        return;
    }
    Scope inner = scope;
    inner.inWhere = false;
    for (auto &a : e.args)
        bindExpr(a, inner);
    if (bindDatetimeFunction(ep))
        return;
    auto needArgs = [&](size_t lo, size_t hi) {
        if (n < lo)
            raise(938, e.offset);
        if (n > hi)
            raise(939, e.offset);
    };
    if (name == "DECODE") {
        if (n < 3)
            raise(938, e.offset);
        // DECODE(x, s1, r1, ..., [default]) -> CASE WHEN x IS s1 THEN r1 ... ELSE default END
        auto c = makeExpr(ExprKind::Case, e.offset);
        c->endOffset = e.endOffset;
        BaseType resultType = e.args[2]->type.base == BaseType::Unknown ? BaseType::Text : e.args[2]->type.base;
        if (e.args[2]->kind == ExprKind::Null)
            resultType = BaseType::Text;
        BaseType compareType = e.args[1]->type.base;
        if (e.args[0]->type.base == BaseType::Number && compareType != BaseType::Text)
            compareType = BaseType::Number;
        ExprPtr subject = std::move(e.args[0]);
        for (size_t i = 1; i + 1 < n; i += 2) {
            auto test = makeExpr(ExprKind::Binary, e.args[i]->offset);
            test->op = "IS";
            ExprPtr left = makeExpr(ExprKind::Null, subject->offset);
            // The subject is repeated in each WHEN; SQLite evaluates it each time, as Oracle may.
            left = cloneBound(*subject);
            ExprPtr right = std::move(e.args[i]);
            if (compareType == BaseType::Text) {
                convert(left, BaseType::Text);
                convert(right, BaseType::Text);
            } else {
                compareTypes(left, right);
            }
            test->args.push_back(std::move(left));
            test->args.push_back(std::move(right));
            c->whens.push_back(std::move(test));
            ExprPtr result = std::move(e.args[i + 1]);
            convert(result, resultType);
            c->thens.push_back(std::move(result));
        }
        if (n % 2 == 0) {
            ExprPtr d = std::move(e.args[n - 1]);
            convert(d, resultType);
            c->elseExpr = std::move(d);
        }
        c->type.base = resultType;
        ep = std::move(c);
        return;
    }
    if (name == "NVL" || name == "COALESCE" || name == "NULLIF" || name == "GREATEST" || name == "LEAST" ||
        name == "NVL2") {
        if (name == "NVL" || name == "NULLIF")
            needArgs(2, 2);
        else if (name == "NVL2")
            needArgs(3, 3);
        else
            needArgs(1, 255);
        size_t first = name == "NVL2" ? 1 : 0;
        BaseType t = e.args[first]->type.base;
        if (t == BaseType::Unknown)
            for (size_t i = first; i < n && t == BaseType::Unknown; ++i)
                t = e.args[i]->type.base;
        for (size_t i = first; i < n; ++i)
            convert(e.args[i], t);
        e.type = e.args[first]->type;
        e.type.base = t;
        e.type.hasSpec = false;
        if (name == "NVL2") {
            auto c = makeExpr(ExprKind::Case, e.offset);
            auto test = makeExpr(ExprKind::IsNull, e.offset);
            test->negated = true;
            test->args.push_back(std::move(e.args[0]));
            c->whens.push_back(std::move(test));
            c->thens.push_back(std::move(e.args[1]));
            c->elseExpr = std::move(e.args[2]);
            c->type = e.type;
            ep = std::move(c);
            return;
        }
        if (n == 1 && (name == "GREATEST" || name == "LEAST" || name == "COALESCE")) {
            ExprPtr only = std::move(e.args[0]);
            ep = std::move(only);
            return;
        }
        e.sqlFunction = name == "NVL" || name == "COALESCE" ? "coalesce"
                        : name == "NULLIF"                  ? "nullif"
                        : name == "GREATEST"                ? "max"
                                                            : "min";
        return;
    }
    if (name == "SYS_CONNECT_BY_PATH") {
        if (!scope.block || !scope.block->hierarchical)
            raise(1788, e.offset);
        needArgs(2, 2);
        convert(e.args[0], BaseType::Text);
        convert(e.args[1], BaseType::Text);
        auto &block = *scope.block;
        block.carried.push_back({std::move(e.args[0]), std::move(e.args[1])});
        ep = makeExpr(ExprKind::Column, e.offset);
        ep->binding = ColumnBinding::TableColumn;
        ep->column = "kdb_h.c" + std::to_string(block.carried.size());
        ep->type = Type::text();
        return;
    }
    if (name == "CAST") {
        Type target = e.args[1]->type;
        e.args.pop_back();
        convert(e.args[0], target.base);
        ExprPtr value = std::move(e.args[0]);
        if (target.base == BaseType::Number && target.spec.scale != TypeSpec::None) {
            auto r = makeExpr(ExprKind::Function, value->offset);
            r->sqlFunction = "ora_round";
            r->args.push_back(std::move(value));
            auto s = makeExpr(ExprKind::Number, r->offset);
            s->text = std::to_string(target.spec.scale);
            s->type = Type::number();
            r->args.push_back(std::move(s));
            value = std::move(r);
        }
        value->type = target;
        ep = std::move(value);
        return;
    }
    if (name == "TRIM") {
        // TRIM(s), TRIM(mode c FROM s): ora_trim(s [, mode [, c]])
        convert(e.args[0], BaseType::Text);
        if (n == 2 || e.text != "BOTH") {
            auto mode = makeExpr(ExprKind::String, e.offset);
            mode->text = e.text;
            mode->type = Type::text();
            e.args.insert(e.args.begin() + 1, std::move(mode));
            if (e.args.size() == 3)
                convert(e.args[2], BaseType::Text);
        }
        e.sqlFunction = "ora_trim";
        e.type = Type::text();
        return;
    }
    if ((name == "EMPTY_CLOB" || name == "EMPTY_BLOB") && n == 0) {
        // An empty LOB is a value, not NULL: zero-length text or bytes.
        const bool blob = name == "EMPTY_BLOB";
        auto empty = makeExpr(blob ? ExprKind::Function : ExprKind::String, e.offset);
        empty->endOffset = e.endOffset;
        if (blob) {
            empty->sqlFunction = "zeroblob";
            empty->args.push_back(makeExpr(ExprKind::Number, e.offset));
            empty->args[0]->text = "0";
            empty->args[0]->type = Type::number();
        }
        empty->type = blob ? Type::raw() : Type::text();
        empty->type.isLong = !blob;
        ep = std::move(empty);
        return;
    }
    bool firstIsDate = n > 0 && e.args[0]->type.base == BaseType::Date;
    const FunctionInfo *info = findFunction(name, firstIsDate);
    if (!info)
        raise(904, e.offset, {"\"" + name + "\""});
    if (info->aggregate) {
        if (!scope.aggregatesAllowed)
            raise(934, e.offset);
        e.aggregate = true;
    }
    if (int(n) < info->minArguments || int(n) > info->maxArguments)
        raise(909, e.offset);
    for (size_t i = 0; i < n; ++i) {
        char want = 'A';
        if (!info->parameters.empty())
            want = info->parameters[std::min(i, info->parameters.size() - 1)];
        if (want == 'N')
            convert(e.args[i], BaseType::Number);
        else if (want == 'T')
            convert(e.args[i], BaseType::Text);
        else if (want == 'D') {
            timestampToDate(e.args[i]);
            convert(e.args[i], BaseType::Date);
        }
        else if (want == 'R')
            convert(e.args[i], BaseType::Raw);
    }
    e.sqlFunction = std::string(info->sqliteName);
    if (e.sqlFunction.rfind("ora_json_", 0) == 0 && e.sqlFunction != "ora_json_date")
        for (auto &a : e.args)
            if (a->type.base == BaseType::Date)  // JSON writes dates in ISO 8601
                a = wrapIn(std::move(a), "ora_json_date", Type::text());
    if (e.sqlFunction == "ora_dump" && (e.args[0]->kind == ExprKind::String ||
                                        (e.args[0]->type.hasSpec && e.args[0]->type.spec.name == "CHAR")))
        e.sqlFunction = "ora_dump_char";  // Oracle reports text literals and CHAR as fixed-length
    switch (info->result) {
    case FunctionResult::Number:
        e.type = Type::number();
        break;
    case FunctionResult::Text:
        e.type = Type::text();
        break;
    case FunctionResult::Date:
        e.type = Type::date();
        break;
    case FunctionResult::Raw:
        e.type = Type::raw();
        break;
    case FunctionResult::SameAsArgument:
        e.type = size_t(info->sameAsArgument) < n ? e.args[size_t(info->sameAsArgument)]->type : Type();
        e.type.hasSpec = false;
        break;
    }
}

void Binder::bindExpr(ExprPtr &ep, Scope &scope) {
    Expr &e = *ep;
    switch (e.kind) {
    case ExprKind::Null:
        e.type = Type();
        return;
    case ExprKind::Number:
        e.type = Type::number();
        return;
    case ExprKind::String:
        if (e.type.base == BaseType::Unknown)
            e.type = Type::text();
        return;
    case ExprKind::DateLiteral:
        if (e.op == "TIMESTAMP") {
            bindTimestampLiteral(ep);
            return;
        }
        checkDateLiteral(e);
        e.type = Type::date();
        return;
    case ExprKind::Bind:
        e.type = Type();
        binds_.push_back(e.text);
        return;
    case ExprKind::Column:
        bindColumn(ep, scope);
        return;
    case ExprKind::Star:
        raise(936, e.offset);
    case ExprKind::Unary:
        if (e.op == "CONNECT_BY_ROOT") {
            if (!scope.block || !scope.block->hierarchical)
                raise(1788, e.offset);
            bindExpr(e.args[0], scope);
            Type t = e.args[0]->type;
            auto &block = *scope.block;
            block.carried.push_back({std::move(e.args[0]), nullptr});
            ep = makeExpr(ExprKind::Column, e.offset);
            ep->binding = ColumnBinding::TableColumn;
            ep->column = "kdb_h.c" + std::to_string(block.carried.size());
            ep->type = t;
            return;
        }
        if (e.op == "PRIOR") {
            if (!scope.inConnectBy)
                raise(904, e.offset, {"\"PRIOR\""});
            if (scope.block)
                scope.block->connectByPrior = true;
            bool saved = priorActive_;
            priorActive_ = true;
            bindExpr(e.args[0], scope);
            priorActive_ = saved;
            ExprPtr inner = std::move(e.args[0]);
            ep = std::move(inner);
            return;
        }
        bindExpr(e.args[0], scope);
        if (e.op == "NOT") {
            e.type = Type();
        } else if (e.args[0]->type.isInterval()) {
            e.type = e.args[0]->type;  // the negative of an interval
            e.type.hasSpec = false;
        } else {
            convert(e.args[0], BaseType::Number);
            const Type &t = e.args[0]->type;
            const bool binary = t.hasSpec && (t.spec.name == "BINARY_DOUBLE" || t.spec.name == "BINARY_FLOAT");
            e.type = binary ? t : Type::number();  // -1.5d stays a BINARY_DOUBLE
        }
        return;
    case ExprKind::Binary:
        bindBinary(ep, scope);
        return;
    case ExprKind::IsNull:
        bindExpr(e.args[0], scope);
        return;
    case ExprKind::Between:
        for (auto &a : e.args)
            bindExpr(a, scope);
        compareTypes(e.args[0], e.args[1]);
        compareTypes(e.args[0], e.args[2]);
        return;
    case ExprKind::InList:
        for (auto &a : e.args)
            bindExpr(a, scope);
        for (size_t i = 1; i < e.args.size(); ++i) {
            if (e.args[i]->kind == ExprKind::Column && e.args[i]->outerJoin)
                raise(1719, e.args[i]->offset);
            compareTypes(e.args[0], e.args[i]);
        }
        if (e.args[0]->outerJoin)
            raise(1719, e.args[0]->offset);
        return;
    case ExprKind::InQuery:
    case ExprKind::Quantified: {
        for (auto &a : e.args)
            bindExpr(a, scope);
        if (e.query) {
            bool savedSeq = sequencesAllowed_;
            sequencesAllowed_ = false;
            bindQuery(*e.query, &scope);
            sequencesAllowed_ = savedSeq;
            if (e.args[0]->kind == ExprKind::Column && e.args[0]->outerJoin)
                raise(1799, e.args[0]->offset);
            if (!e.query->outputs.empty() && e.query->outputs.size() != e.args.size())
                raise(e.query->outputs.size() > e.args.size() ? 913 : 947, e.query->offset);
            if (!e.query->outputs.empty() && e.args.size() == 1) {
                BaseType qt = e.query->outputs[0].type.base;
                if (qt == BaseType::Number && e.args[0]->type.base == BaseType::Text)
                    convert(e.args[0], BaseType::Number);
                else if (qt == BaseType::Date && e.args[0]->type.base == BaseType::Text)
                    convert(e.args[0], BaseType::Date);
            }
        } else {
            for (size_t i = 1; i < e.args.size(); ++i)
                compareTypes(e.args[0], e.args[i]);
        }
        return;
    }
    case ExprKind::Like:
        for (auto &a : e.args) {
            bindExpr(a, scope);
            convert(a, BaseType::Text);
        }
        return;
    case ExprKind::Exists: {
        bool savedSeq = sequencesAllowed_;
        sequencesAllowed_ = false;
        bindQuery(*e.query, &scope);
        sequencesAllowed_ = savedSeq;
        return;
    }
    case ExprKind::Subquery: {
        bool savedSeq = sequencesAllowed_;
        sequencesAllowed_ = false;
        bindQuery(*e.query, &scope);
        sequencesAllowed_ = savedSeq;
        if (e.query->outputs.size() > 1)
            raise(913, e.query->offset);
        if (!e.query->outputs.empty())
            e.type = e.query->outputs[0].type;
        return;
    }
    case ExprKind::Function:
        if (!e.sqlFunction.empty()) {  // already bound (a conversion put in place earlier)
            return;
        }
        bindFunction(ep, scope);
        return;
    case ExprKind::Case: {
        if (!e.args.empty())
            bindExpr(e.args[0], scope);
        for (auto &w : e.whens)
            bindExpr(w, scope);
        for (auto &t : e.thens)
            bindExpr(t, scope);
        if (e.elseExpr)
            bindExpr(e.elseExpr, scope);
        BaseType t = BaseType::Unknown;
        for (auto &x : e.thens)
            if (t == BaseType::Unknown)
                t = x->type.base;
        if (t == BaseType::Unknown && e.elseExpr)
            t = e.elseExpr->type.base;
        for (auto &x : e.thens)
            convert(x, t);
        if (e.elseExpr)
            convert(e.elseExpr, t);
        if (!e.args.empty())
            for (auto &w : e.whens)
                compareTypes(e.args[0], w);
        e.type.base = t;
        return;
    }
    }
}

// A copy of a bound expression (DECODE repeats its subject in every branch).
ExprPtr Binder::cloneBound(const Expr &e) {
    auto c = makeExpr(e.kind, e.offset);
    c->endOffset = e.endOffset;
    c->op = e.op;
    c->text = e.text;
    c->name = e.name;
    c->negated = e.negated;
    c->distinct = e.distinct;
    c->outerJoin = e.outerJoin;
    c->quantifier = e.quantifier;
    c->type = e.type;
    c->binding = e.binding;
    c->source = e.source;
    c->scopeDepth = e.scopeDepth;
    c->column = e.column;
    c->sequenceKey = e.sequenceKey;
    c->aggregate = e.aggregate;
    c->sqlFunction = e.sqlFunction;
    if (e.query)
        raise(3001, e.offset);
    for (const auto &a : e.args)
        c->args.push_back(cloneBound(*a));
    for (const auto &w : e.whens)
        c->whens.push_back(cloneBound(*w));
    for (const auto &t : e.thens)
        c->thens.push_back(cloneBound(*t));
    if (e.elseExpr)
        c->elseExpr = cloneBound(*e.elseExpr);
    if (e.analytic)
        c->analytic = cloneAnalytic(*e.analytic);
    if (c->binding == ColumnBinding::NextVal)
        c->binding = ColumnBinding::CurrVal;
    return c;
}

}  // namespace localdb
