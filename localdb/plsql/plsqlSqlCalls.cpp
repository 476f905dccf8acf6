// Stored functions in SQL statements.
#include "localdb/plsql/plsqlSqlCalls.h"

#include "localdb/system/errors.h"
#include "localdb/functions/date_calendar.h"
#include "localdb/plsql/plsqlNodes.h"
#include "localdb/plsql/plsqlUnits.h"

#include <sqlite3.h>

namespace localdb::plsql {
namespace {

Type sqlResultType(const PlType &t) {
    switch (t.kind) {
    case TypeKind::Number:
    case TypeKind::Integer:
        return Type::number();
    case TypeKind::Date:
        return Type::date();
    case TypeKind::Raw:
        return Type::raw();
    case TypeKind::Text:
    case TypeKind::Char:
    case TypeKind::Clob:
        return Type::text();
    default:
        return Type();
    }
}

const Subprogram *pickFunction(const CompiledUnit &u, const std::string &name, size_t argc) {
    for (Subprogram *s : u.publicSubprograms) {
        if (s->name != name || !s->isFunction || s->params.size() < argc)
            continue;
        bool ok = true;
        for (size_t i = argc; i < s->params.size(); ++i)
            if (!s->params[i].defaultValue)
                ok = false;
        if (ok)
            return s;
    }
    return nullptr;
}

Datum argumentOf(sqlite3_value *v) {
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
        return std::int64_t(sqlite3_value_int64(v));
    case SQLITE_FLOAT:
        return sqlite3_value_double(v);
    case SQLITE_TEXT:
        return std::string(reinterpret_cast<const char *>(sqlite3_value_text(v)), size_t(sqlite3_value_bytes(v)));
    case SQLITE_BLOB: {
        Bytes b;
        auto *p = static_cast<const std::uint8_t *>(sqlite3_value_blob(v));
        b.data.assign(p, p + sqlite3_value_bytes(v));
        return b;
    }
    default:
        return {};
    }
}

void setResult(sqlite3_context *context, const Datum &d) {
    switch (d.index()) {
    case 1:
        sqlite3_result_int64(context, std::get<std::int64_t>(d));
        break;
    case 2:
        sqlite3_result_double(context, std::get<double>(d));
        break;
    case 3: {
        const auto &s = std::get<std::string>(d);
        if (s.empty())
            sqlite3_result_null(context);
        else
            sqlite3_result_text(context, s.data(), int(s.size()), SQLITE_TRANSIENT);
        break;
    }
    case 4: {
        std::string s = functions::storageText(std::get<DateTime>(d));
        sqlite3_result_text(context, s.data(), int(s.size()), SQLITE_TRANSIENT);
        break;
    }
    case 5: {
        const auto &b = std::get<Bytes>(d).data;
        sqlite3_result_blob(context, b.data(), int(b.size()), SQLITE_TRANSIENT);
        break;
    }
    case 6:
        sqlite3_result_error(context, "ORA-06553: PLS-382: expression is of wrong type", -1);
        break;
    default:
        sqlite3_result_null(context);
    }
}

void kdbCall(sqlite3_context *context, int argc, sqlite3_value **argv) {
    auto &core = *static_cast<SessionCore *>(sqlite3_user_data(context));
    SessionState &state = stateOf(core);
    try {
        const size_t id = size_t(sqlite3_value_int(argv[0]));
        if (id >= state.callTargets.size())
            raise(6508);
        if (state.resolvedTargets.size() < state.callTargets.size())
            state.resolvedTargets.resize(state.callTargets.size());
        auto &resolved = state.resolvedTargets[id];
        if (resolved.schemaVersion != core.schemaVersion || !resolved.subprogram) {
            const auto &t = state.callTargets[id];
            resolved.unit = unitsOf(core).find(t.owner, t.package.empty() ? t.name : t.package);
            resolved.subprogram = resolved.unit ? pickFunction(*resolved.unit, t.name, size_t(t.argumentCount)) : nullptr;
            if (!resolved.subprogram)
                raise(6508);
            resolved.schemaVersion = core.schemaVersion;
        }
        const Subprogram &sub = *resolved.subprogram;
        std::vector<Datum> args(sub.params.size());
        Context ctx(core, state);
        for (int i = 1; i < argc; ++i)
            args[size_t(i - 1)] = argumentOf(argv[i]);
        for (size_t i = size_t(argc - 1); i < sub.params.size(); ++i)
            if (sub.params[i].defaultValue)
                args[i] = sub.params[i].defaultValue->eval(ctx);
        ++state.queryDepth;
        Datum result;
        try {
            Frame *link = sub.package ? &packageFrame(ctx, *sub.package) : nullptr;
            result = callSubprogram(ctx, sub, args, link);
        } catch (...) {
            --state.queryDepth;
            throw;
        }
        --state.queryDepth;
        setResult(context, result);
    } catch (const PlError &e) {
        // NO_DATA_FOUND inside a function called from a query yields NULL for that row.
        if (e.code == 1403 && !e.exception) {
            sqlite3_result_null(context);
            return;
        }
        std::string text = errorStackText(e);
        sqlite3_result_error(context, text.c_str(), int(text.size()));
    } catch (const Error &e) {
        sqlite3_result_error(context, e.what(), -1);
    } catch (const std::bad_alloc &) {
        sqlite3_result_error_nomem(context);
    } catch (const std::exception &e) {
        sqlite3_result_error(context, e.what(), -1);
    } catch (...) {
        sqlite3_result_error(context, "ORA-06501: PL/SQL: program error", -1);
    }
}

}  // namespace

bool resolveSqlCall(SessionCore &core, const UnitLookup &lookup, ExprPtr &e,
                    const std::function<void(ExprPtr &)> &bindArgument, std::vector<Dependency> *dependencies) {
    std::vector<std::string> parts = e->name.parts;
    if (parts.empty())
        parts.push_back(e->op);
    const std::string schema = core.context.currentSchema;
    std::shared_ptr<CompiledUnit> unit;
    std::string package, name;
    if (parts.size() == 1) {
        unit = lookup(schema, parts[0]);
        name = parts[0];
        if (unit && unit->program.type != "FUNCTION")
            return false;
    } else if (parts.size() == 2) {
        unit = lookup(schema, parts[0]);
        if (unit && unit->package) {
            package = parts[0];
            name = parts[1];
        } else {
            unit = lookup(parts[0], parts[1]);
            name = parts[1];
            if (unit && unit->program.type != "FUNCTION")
                return false;
        }
    } else {
        return false;
    }
    if (!unit)
        return false;
    if (!unit->valid)
        throw Error(6575, "ORA-06575: Package or function " + (package.empty() ? name : package) +
                              " is in an invalid state");
    const Subprogram *sub = pickFunction(*unit, name, e->args.size());
    if (!sub)
        throw Error(6553, "ORA-06553: PLS-306: wrong number or types of arguments in call to '" + name + "'");
    for (auto &a : e->args)
        bindArgument(a);
    SessionState &state = stateOf(core);
    const std::string key = unit->program.owner + "." + package + "." + name + "/" + std::to_string(e->args.size());
    auto it = state.callTargetIds.find(key);
    int id;
    if (it == state.callTargetIds.end()) {
        id = int(state.callTargets.size());
        state.callTargets.push_back({unit->program.owner, package, name, int(e->args.size())});
        state.callTargetIds[key] = id;
    } else {
        id = it->second;
    }
    auto idExpr = makeExpr(ExprKind::Number, e->offset);
    idExpr->text = std::to_string(id);
    idExpr->type = Type::number();
    e->args.insert(e->args.begin(), std::move(idExpr));
    e->sqlFunction = "kdb_call";
    e->type = sqlResultType(sub->returnType);
    if (dependencies)
        dependencies->push_back({unit->program.owner, unit->program.name,
                                 unit->package ? std::string("PACKAGE") : unit->program.type});
    return true;
}

bool resolveBareCall(ExprPtr &e, const std::function<bool(ExprPtr &)> &resolve) {
    if (e->kind != ExprKind::Column || e->name.parts.empty() || e->name.parts.size() > 2)
        return false;
    ExprPtr call = makeExpr(ExprKind::Function, e->offset);
    call->endOffset = e->endOffset;
    call->name = e->name;
    if (!resolve(call))
        return false;
    e = std::move(call);
    return true;
}

void registerSqlCalls(SessionCore &core) {
    sqlite3_create_function_v2(core.db->handle(), "kdb_call", -1, SQLITE_UTF8, &core, kdbCall, nullptr, nullptr,
                               nullptr);
}

}  // namespace localdb::plsql
