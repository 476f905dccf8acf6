// Running PL/SQL for the session: anonymous blocks as one statement (their changes undone
// together when they fail), and the DDL of program units.
#include "localdb/plsql/plsql.h"

#include "localdb/catalog/catalog.h"
#include "localdb/system/errors.h"
#include "localdb/plsql/plsqlCompiler.h"
#include "localdb/plsql/plsqlOutput.h"
#include "localdb/plsql/plsqlSqlCalls.h"
#include "localdb/plsql/plsqlUnits.h"
#include "localdb/system/sqlite_errors.h"
#include "localdb/sql/tokenizer.h"

namespace localdb::plsql {
namespace {

std::vector<Token> leadingTokens(std::string_view sql) {
    try {
        return tokenize(sql.substr(0, std::min<size_t>(sql.size(), 300)));
    } catch (const Error &) {
        try {
            return tokenize(sql);
        } catch (const Error &) {
            return {};
        }
    }
}

struct UnitStatement {
    std::string verb;  // CREATE, DROP, ALTER
    bool orReplace = false;
    std::string type;  // PROCEDURE, FUNCTION, PACKAGE, PACKAGE BODY
    size_t unitOffset = 0;  // where the unit's own text begins (CREATE)
    std::string owner, name;
};

bool unitStatement(const std::vector<Token> &t, UnitStatement &u) {
    size_t i = 0;
    auto word = [&](std::string_view w) { return i < t.size() && t[i].isWord(w); };
    if (word("CREATE")) {
        u.verb = "CREATE";
        ++i;
        if (word("OR") && i + 1 < t.size() && t[i + 1].isWord("REPLACE")) {
            u.orReplace = true;
            i += 2;
        }
        if (word("EDITIONABLE") || word("NONEDITIONABLE"))
            ++i;
    } else if (word("DROP") || word("ALTER")) {
        u.verb = t[i].text;
        ++i;
    } else {
        return false;
    }
    if (!(word("PROCEDURE") || word("FUNCTION") || word("PACKAGE")))
        return false;
    u.unitOffset = size_t(t[i].offset);
    u.type = t[i].text;
    ++i;
    if (u.type == "PACKAGE" && word("BODY")) {
        u.type = "PACKAGE BODY";
        ++i;
    }
    if (i < t.size() && (t[i].kind == TokenKind::Identifier || t[i].kind == TokenKind::QuotedIdentifier)) {
        u.name = t[i].text;
        if (i + 2 < t.size() && t[i + 1].isOperator(".")) {
            u.owner = u.name;
            u.name = t[i + 2].text;
        }
    }
    return true;
}

std::string compileErrorText(const std::vector<CompileError> &errors) {
    std::string text;
    for (const auto &e : errors) {
        if (!text.empty())
            text += "\n";
        text += "ORA-06550: line " + std::to_string(e.line) + ", column " + std::to_string(e.column) + ":\n" + e.text;
    }
    return text;
}

// The DDL transaction of a unit: the work before it is committed first, as any DDL does. A unit
// stored with compilation errors is stored all the same.
template <typename F>
void runUnitDdl(SessionCore &core, const std::string &owner, const std::string &name, F f) {
    bool withErrors = false;
    runDdlTransaction(core, [&] {
        try {
            f();
        } catch (const CompiledWithErrors &) {
            withErrors = true;
        }
        return ChangedObjects(std::set<std::string>{owner + "." + name});
    });
    if (withErrors)
        throw Error(24344, "ORA-24344: success with compilation error");
}

StatementResult unitDdl(SessionCore &core, const std::string &sql, const UnitStatement &u) {
    StatementResult result;
    result.command = u.verb + " " + u.type;
    const std::string owner = u.owner.empty() ? core.context.currentSchema : u.owner;
    if (u.name.empty())
        raise(u.verb == "CREATE" ? 900 : 4043, -1, {""});
    if (u.verb == "CREATE") {
        std::string text = sql.substr(u.unitOffset);
        while (!text.empty() && (text.back() == ' ' || text.back() == '\n' || text.back() == '\r' || text.back() == '\t'))
            text.pop_back();
        runUnitDdl(core, owner, u.name, [&] { storeUnit(core, owner, u.type, u.name, text, u.orReplace); });
    } else if (u.verb == "DROP") {
        runUnitDdl(core, owner, u.name, [&] { dropUnit(core, owner, u.type, u.name); });
    } else {
        // ALTER ... COMPILE [BODY]: compile the stored source again.
        std::vector<Token> t = leadingTokens(sql);
        bool body = false;
        for (const auto &tok : t)
            if (tok.isWord("BODY"))
                body = true;
        std::string type = u.type == "PACKAGE" && body ? "PACKAGE BODY" : u.type;
        auto object = core.catalog->findObject(owner, u.name, type == "PACKAGE BODY" ? 2 : 1);
        if (!object)
            raise(4043, -1, {u.name});
        auto p = core.db->prepare("SELECT text FROM kdb_source WHERE object_id = ?1 ORDER BY line");
        p.bind(1, object->id);
        std::string text;
        while (p.step())
            text += p.text(0);
        runUnitDdl(core, owner, u.name, [&] { storeUnit(core, owner, type, u.name, text, true); });
    }
    return result;
}

StatementResult runBlock(SessionCore &core, const std::string &sql, std::vector<Bind> *binds) {
    SessionState &state = stateOf(core);
    auto &cached = state.blocks[sql];
    if (cached && cached->schemaVersion != core.schemaVersion)
        cached.reset();
    if (!cached) {
        CompileOutput out;
        UnitCache &units = unitsOf(core);
        auto lookup = [&](const std::string &o, const std::string &n) { return units.find(o, n); };
        std::unique_ptr<CompiledBlock> block;
        try {
            block = compileBlock(core, sql, lookup, out);
        } catch (const SqliteError &e) {
            state.blocks.erase(sql);
            throw oracleError(e, *core.catalog, false);
        }
        if (!out.errors.empty()) {
            state.blocks.erase(sql);
            throw Error(6550, compileErrorText(out.errors));
        }
        block->schemaVersion = core.schemaVersion;
        cached = std::move(block);
        if (state.blocks.size() > 64) {
            auto keep = cached;
            state.blocks.clear();
            state.blocks[sql] = keep;
        }
    }
    std::shared_ptr<CompiledBlock> block = state.blocks[sql];
    Context ctx(core, state);
    ctx.binds = binds;
    Frame frame;
    frame.slots.resize(size_t(block->main->frameSize));
    frame.cursors.resize(size_t(block->main->cursorCount));
    frame.program = &block->program;
    ctx.frame = &frame;
    const bool outerSavepoint = state.blockSavepoint;
    state.blockSavepoint = false;
    auto closeCursors = [&] {
        for (auto &c : frame.cursors)
            c.close();
    };
    try {
        block->main->body->exec(ctx);
    } catch (PlError &e) {
        closeCursors();
        traceError(e, frame);
        // The block's own changes are undone; earlier work of the transaction stays.
        try {
            if (state.blockSavepoint)
                core.db->exec("ROLLBACK TO kdb_block; RELEASE kdb_block");
            if (!core.userTransaction)
                commitWork(core);
        } catch (...) {
        }
        state.blockSavepoint = outerSavepoint;
        state.lastErrorStack = errorStackText(e);
        throw Error(e.exception && e.code == 1 ? 6510 : e.code, errorStackText(e));
    } catch (...) {
        closeCursors();
        try {
            if (state.blockSavepoint)
                core.db->exec("ROLLBACK TO kdb_block; RELEASE kdb_block");
        } catch (...) {
        }
        state.blockSavepoint = outerSavepoint;
        throw;
    }
    closeCursors();
    try {
        if (state.blockSavepoint)
            core.db->exec("RELEASE kdb_block");
        if (!core.userTransaction)
            commitWork(core);
    } catch (const SqliteError &e) {
        state.blockSavepoint = outerSavepoint;
        throw oracleError(e, *core.catalog, false);
    }
    state.blockSavepoint = outerSavepoint;
    StatementResult result;
    result.command = "PL/SQL EXECUTE";
    return result;
}

// Stored functions for plain SQL.
class StoredFunctions : public HostNames {
public:
    explicit StoredFunctions(SessionCore &core) : core_(core) {}
    bool variable(ExprPtr &e) override {
        return resolveBareCall(e, [&](ExprPtr &call) { return function(call, [](ExprPtr &) {}); });
    }
    bool function(ExprPtr &e, const std::function<void(ExprPtr &)> &bindArgument) override {
        UnitCache &units = unitsOf(core_);
        auto lookup = [&](const std::string &o, const std::string &n) { return units.find(o, n); };
        return resolveSqlCall(core_, lookup, e, bindArgument, nullptr);
    }

private:
    SessionCore &core_;
};

}  // namespace

bool isPlsqlStatement(std::string_view sql) {
    std::vector<Token> t = leadingTokens(sql);
    if (t.empty())
        return false;
    if (t[0].isWord("BEGIN") || t[0].isWord("DECLARE"))
        return true;
    if (t.size() > 1 && t[0].isOperator("<") && t[1].isOperator("<"))
        return true;
    UnitStatement u;
    return unitStatement(t, u);
}

StatementResult execute(SessionCore &core, const std::string &sql, std::vector<Bind> *binds) {
    std::vector<Token> t = leadingTokens(sql);
    UnitStatement u;
    if (!t.empty() && unitStatement(t, u))
        return unitDdl(core, sql, u);
    return runBlock(core, sql, binds);
}

std::vector<std::string> takeOutput(SessionCore &core) {
    if (!core.plsql)
        return {};
    return outputTakeLines(core.plsql->output);
}

HostNames &sqlHost(SessionCore &core) {
    SessionState &state = stateOf(core);
    if (!state.sqlHost)
        state.sqlHost = std::make_shared<StoredFunctions>(core);
    return *state.sqlHost;
}

}  // namespace localdb::plsql
