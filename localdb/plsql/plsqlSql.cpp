// SQL inside PL/SQL: statements compiled by the engine's own SQL compiler, with the program's
// variables as bind parameters and its stored functions called through kdb_call.
#include "localdb/plsql/plsqlCompilerImpl.h"

#include "localdb/sql/parser.h"
#include "localdb/plsql/plsqlSqlCalls.h"
#include "localdb/system/sqlite_errors.h"
#include "localdb/sql/translate.h"

namespace localdb::plsql {
namespace {

Type sqlTypeOf(const PlType &t) {
    switch (t.kind) {
    case TypeKind::Number:
    case TypeKind::Integer:
        return Type::number();
    case TypeKind::Text:
    case TypeKind::Char:
        return Type::text();
    case TypeKind::Clob: {
        Type x = Type::text();
        x.isLong = true;
        return x;
    }
    case TypeKind::Date:
        return Type::date();
    case TypeKind::Raw:
        return Type::raw();
    default:
        return Type();
    }
}

PlType plTypeOfColumn(const Column &c) {
    switch (c.type) {
    case Date:
        return PlType::date();
    case Text:
        return PlType::text();
    case Memo: {
        PlType t = PlType::text();
        t.kind = TypeKind::Clob;
        return t;
    }
    case LongBinary:
        return PlType{TypeKind::Raw};
    default:
        return PlType::number();
    }
}

// The program's names as the SQL binder sees them.
class ScopeHost : public HostNames {
public:
    ScopeHost(Compiler &c, std::vector<ExprP> &hosts) : c_(c), hosts_(hosts) {}

    bool variable(ExprPtr &e) override {
        bool found = false;
        ExprP ref = c_.sqlHostReference(e->name, found);
        if (!found)
            return resolveBareCall(e, [&](ExprPtr &call) { return function(call, [](ExprPtr &) {}); });
        const int index = int(hosts_.size());
        Type type = sqlTypeOf(ref->type);
        hosts_.push_back(std::move(ref));
        auto b = makeExpr(ExprKind::Bind, e->offset);
        b->endOffset = e->endOffset;
        b->text = "_" + std::to_string(index);
        b->type = type;
        e = std::move(b);
        return true;
    }

    bool function(ExprPtr &e, const std::function<void(ExprPtr &)> &bindArgument) override {
        return c_.sqlFunction(e, bindArgument);
    }

private:
    Compiler &c_;
    std::vector<ExprP> &hosts_;
};

// Tables an SQL text reads or writes: the names after FROM, JOIN, INTO and UPDATE.
std::vector<Name> tablesOf(const std::string &sql) {
    std::vector<Name> out;
    std::vector<Token> t;
    try {
        t = tokenize(sql);
    } catch (const Error &) {
        return out;
    }
    for (size_t i = 0; i + 1 < t.size(); ++i) {
        if (!(t[i].isWord("FROM") || t[i].isWord("JOIN") || t[i].isWord("INTO") || t[i].isWord("UPDATE")))
            continue;
        size_t j = i + 1;
        while (j < t.size() && (t[j].kind == TokenKind::Identifier || t[j].kind == TokenKind::QuotedIdentifier)) {
            Name n;
            n.parts.push_back(t[j].text);
            n.offsets.push_back(t[j].offset);
            if (j + 2 < t.size() && t[j + 1].isOperator(".")) {
                n.parts.push_back(t[j + 2].text);
                n.offsets.push_back(t[j + 2].offset);
                j += 2;
            }
            out.push_back(n);
            // FROM a x, b y: the next item after a comma.
            ++j;
            if (j < t.size() && t[j].kind == TokenKind::Identifier && !isReservedWord(t[j].text))
                ++j;
            if (j < t.size() && t[j].isOperator(","))
                ++j;
            else
                break;
        }
    }
    return out;
}

}  // namespace

bool Compiler::compileSql(const std::string &sql, int offset, SqlStatement &out, int statementOffset) {
    try {
        auto st = parseStatement(sql);
        ScopeHost host(*this, out.hosts);
        NameResolver names(*core.catalog, core.context.currentSchema, core.context.sessionUser);
        names.setHost(&host);
        out.statement = compileStatement(*st, names);
        out.dateColumns = out.statement->dateColumns;
        for (const Name &n : tablesOf(sql))
            if (auto r = names.find(n); r && (r->object.type == "TABLE" || r->object.type == "VIEW"))
                addDependency(r->object.owner, r->object.name, r->object.type);
        // Preparing once now finds what SQLite itself refuses while the unit compiles.
        Prepared p = out.statement->take(*core.db, 0);
        out.statement->giveBack(0, std::move(p));
        return true;
    } catch (const SyntaxError &) {
        throw;
    } catch (const Error &e) {
        const int at = e.position() >= 0 ? offset + e.position() : statementOffset;
        std::string message = e.what();
        if (size_t nl = message.find('\n'); nl != std::string::npos)
            message.resize(nl);
        int line, column;
        lineColumn(at, line, column);
        out.statement.reset();
        this->out.errors.push_back({line, column, "PL/SQL: " + message, e.code()});
        lineColumn(statementOffset, line, column);
        this->out.errors.push_back({line, column, "PL/SQL: SQL Statement ignored", 0});
        return false;
    } catch (const SqliteError &e) {
        out.statement.reset();
        int line, column;
        lineColumn(statementOffset, line, column);
        Error oe = oracleError(e, *core.catalog, false);
        this->out.errors.push_back({line, column, std::string("PL/SQL: ") + oe.what(), oe.code()});
        this->out.errors.push_back({line, column, "PL/SQL: SQL Statement ignored", 0});
        return false;
    }
}

ExprP Compiler::sqlHostReference(const Name &name, bool &found) {
    found = false;
    std::vector<std::string> parts = name.parts;
    if (program && parts.size() >= 2 && parts[0] == program->name && lookup(parts[1]))
        parts.erase(parts.begin());
    Symbol *s = lookup(parts[0]);
    ExprP e;
    size_t next = 1;
    if (s && s->kind == Symbol::Variable) {
        e = variableRef(*s, parts[0]);
    } else if (parts.size() >= 2 && !s) {
        auto u = unitNamed(parts[0]);
        if (!u)
            return nullptr;
        auto it = u->publicVariables.find(parts[1]);
        if (it == u->publicVariables.end())
            return nullptr;
        Symbol v;
        v.package = u->package.get();
        v.slot = it->second;
        v.type = u->publicVariableTypes[parts[1]];
        e = variableRef(v, parts[1]);
        next = 2;
    } else {
        return nullptr;
    }
    for (size_t i = next; i < parts.size(); ++i) {
        if (e->type.kind != TypeKind::Record)
            return nullptr;
        int f = e->type.record->find(parts[i]);
        if (f < 0)
            return nullptr;
        auto fr = std::make_unique<FieldRef>();
        fr->type = e->type.record->types[size_t(f)];
        fr->index = f;
        fr->base.reset(static_cast<Target *>(e.release()));
        e = std::move(fr);
    }
    found = true;
    return e;
}

bool Compiler::sqlFunction(ExprPtr &e, const std::function<void(ExprPtr &)> &bindArgument) {
    std::vector<Dependency> deps;
    bool done = resolveSqlCall(core, lookupUnit, e, bindArgument, &deps);
    for (auto &d : deps) {
        addDependency(d.owner, d.name, d.type);
        if (auto u = lookupUnit(d.owner, d.name))
            out.references.push_back(u);
    }
    return done;
}

std::shared_ptr<CompiledUnit> Compiler::unitNamed(const std::string &name) {
    if (program && name == program->name && !program->type.empty())
        return nullptr;  // the unit itself resolves through its own scope
    auto u = lookupUnit(core.context.currentSchema, name);
    if (!u)
        return nullptr;
    addDependency(u->program.owner, u->program.name, u->program.type == "PACKAGE BODY" ? "PACKAGE" : u->program.type);
    out.references.push_back(u);
    return u;
}

void Compiler::addDependency(const std::string &owner, const std::string &name, const std::string &type) {
    if (dependencyKeys.insert(owner + "." + name + "." + type).second)
        out.dependencies.push_back({owner, name, type});
}

std::shared_ptr<RecordType> Compiler::rowTypeOf(const CompiledStatement &s) {
    auto rt = std::make_shared<RecordType>();
    for (const Column &c : s.columns) {
        rt->names.push_back(c.name);
        rt->types.push_back(plTypeOfColumn(c));
    }
    return rt;
}

std::shared_ptr<RecordType> Compiler::tableRowType(const Name &table, int offset) {
    NameResolver names(*core.catalog, core.context.currentSchema, core.context.sessionUser);
    auto r = names.find(table);
    if (!r || !r->table) {
        error(offset, 201, "identifier '" + table.parts.back() + "' must be declared");
        return nullptr;
    }
    addDependency(r->object.owner, r->object.name, r->object.type);
    auto rt = std::make_shared<RecordType>();
    for (const auto &c : r->table->columns) {
        rt->names.push_back(c.name);
        rt->types.push_back(PlType::ofColumn(c.type));
    }
    return rt;
}

PlType Compiler::columnType(const Name &column, int offset) {
    if (column.parts.size() >= 2) {
        Name table;
        table.parts.assign(column.parts.begin(), column.parts.end() - 1);
        table.offsets.assign(column.offsets.begin(), column.offsets.end() - 1);
        NameResolver names(*core.catalog, core.context.currentSchema, core.context.sessionUser);
        auto r = names.find(table);
        if (r && r->table) {
            int i = r->table->columnIndex(column.parts.back());
            addDependency(r->object.owner, r->object.name, r->object.type);
            if (i >= 0)
                return PlType::ofColumn(r->table->columns[size_t(i)].type);
            error(column.offsets.back(), 302, "component '" + column.parts.back() + "' must be declared");
            return PlType::unknown();
        }
    }
    std::string shown;
    for (const auto &p : column.parts)
        shown += (shown.empty() ? "" : ".") + p;
    error(offset, 201, "identifier '" + shown + "' must be declared");
    return PlType::unknown();
}

}  // namespace localdb::plsql
