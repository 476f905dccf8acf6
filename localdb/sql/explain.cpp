// EXPLAIN PLAN from SQLite's query plan: each table visit SQLite reports (SCAN, SEARCH ... USING
// INDEX) becomes Oracle's TABLE ACCESS / INDEX steps; sorting, grouping, DISTINCT, ROWNUM limits
// and set operators of the statement become the steps above them; several visits are joined by
// NESTED LOOPS in SQLite's loop order.
#include "localdb/sql/explain.h"

#include "localdb/sql/binder.h"
#include "localdb/system/connection.h"
#include "localdb/sql/emitter.h"
#include "localdb/system/errors.h"
#include "localdb/sql/parser.h"
#include "localdb/system/session_core.h"
#include "localdb/sql/translate.h"

#include <algorithm>
#include <map>

namespace localdb {
namespace {

struct Step {
    std::string operation, options, owner, object, objectType;
    std::vector<Step> children;
};

struct Access {
    std::string alias, detail;
};

struct TableName {
    std::string owner, name;
    bool jsonTable = false;  // rows of JSON_TABLE, made from its document
};

void collectAliases(const Query &q, std::map<std::string, TableName> &out) {
    if (q.core) {
        for (const auto &s : q.core->bound->sources) {
            if (s.derived) {
                collectAliases(*s.derived, out);
                out[s.sqlAlias] = {"", ""};
            } else if (s.functionArgument) {
                out[s.sqlAlias] = {"", "", true};
            } else {
                // sqlFrom is the quoted "OWNER.NAME".
                std::string inner = s.sqlFrom.substr(1, s.sqlFrom.size() - 2);
                size_t dot = inner.find('.');
                out[s.sqlAlias] = {inner.substr(0, dot), inner.substr(dot + 1)};
            }
        }
    } else {
        if (q.left)
            collectAliases(*q.left, out);
        if (q.right)
            collectAliases(*q.right, out);
    }
}

Step leaf(const std::string &op, const std::string &options, const TableName &t, const std::string &type = "") {
    return Step{op, options, t.owner, t.name, type, {}};
}

// One SQLite table visit as Oracle's access steps.
Step accessStep(const Access &a, const std::map<std::string, TableName> &aliases, Connection &db) {
    auto found = aliases.find(a.alias);
    TableName table = found != aliases.end() ? found->second : TableName{"", a.alias};
    if (table.jsonTable)
        return Step{"JSONTABLE EVALUATION", "", "", "", "", {}};
    if (table.name.empty())
        return Step{"VIEW", "", "", "", "", {}};
    const std::string &d = a.detail;
    size_t using_ = d.find(" USING ");
    if (using_ == std::string::npos || d.find("INTEGER PRIMARY KEY") != std::string::npos) {
        if (d.rfind("SEARCH", 0) == 0 && using_ != std::string::npos)
            return leaf("TABLE ACCESS", "BY USER ROWID", table);
        return leaf("TABLE ACCESS", "FULL", table);
    }
    bool covering = d.find("COVERING INDEX") != std::string::npos;
    size_t idx = d.find("INDEX ", using_);
    std::string index = idx == std::string::npos ? std::string() : d.substr(idx + 6);
    size_t space = index.find(' ');
    std::string condition = space == std::string::npos ? std::string() : index.substr(space + 1);
    index = index.substr(0, space);
    if (!index.empty() && index.front() == '"')
        index = index.substr(1, index.size() - 2);
    TableName indexName{table.owner, index};
    if (index.rfind(table.owner + ".", 0) == 0)
        indexName.name = index.substr(table.owner.size() + 1);
    size_t key = indexName.name.find(" kdb_key");
    if (key != std::string::npos)
        indexName.name = indexName.name.substr(0, key);
    bool unique = db.queryInt("SELECT count(*) FROM kdb_indexes x JOIN kdb_objects o ON o.object_id = x.object_id "
                              "WHERE o.owner = " + quoteText(indexName.owner) + " AND o.object_name = " +
                              quoteText(indexName.name) + " AND x.uniqueness = 'UNIQUE'") > 0;
    std::string option;
    if (d.rfind("SCAN", 0) == 0)
        option = "FULL SCAN";
    else if (unique && condition.find('>') == std::string::npos && condition.find('<') == std::string::npos)
        option = "UNIQUE SCAN";
    else
        option = "RANGE SCAN";
    Step indexStep = leaf("INDEX", option, indexName, unique ? "UNIQUE" : "NON-UNIQUE");
    if (covering)
        return indexStep;
    Step t = leaf("TABLE ACCESS", "BY INDEX ROWID", table);
    t.children.push_back(indexStep);
    return t;
}

Step joinSteps(std::vector<Step> steps) {
    if (steps.empty())
        return Step{"TABLE ACCESS", "FULL", "SYS", "DUAL", "", {}};
    Step current = std::move(steps[0]);
    for (size_t i = 1; i < steps.size(); ++i) {
        Step loops{"NESTED LOOPS", "", "", "", "", {}};
        loops.children.push_back(std::move(current));
        loops.children.push_back(std::move(steps[i]));
        current = std::move(loops);
    }
    return current;
}

// The steps above the table visits of a query block.
Step wrapQuery(const Query &q, Step body, bool sortsForOrderBy) {
    if (q.core) {
        const BoundBlock &b = *q.core->bound;
        if (b.hierarchical) {
            Step c{"CONNECT BY", "", "", "", "", {}};
            c.children.push_back(std::move(body));
            body = std::move(c);
        }
        if (b.rownumLimit >= 0 && (b.rownumInsideSource || b.rownumBeforeSort)) {
            Step c{"COUNT", "STOPKEY", "", "", "", {}};
            c.children.push_back(std::move(body));
            body = std::move(c);
        }
        if (b.grouped) {
            const char *grouping = !q.core->groupingSets.empty() ? "GROUP BY ROLLUP"
                                   : q.core->groupBy.empty()     ? "AGGREGATE"
                                                                 : "GROUP BY";
            Step s{"SORT", grouping, "", "", "", {}};
            s.children.push_back(std::move(body));
            body = std::move(s);
        }
        if (b.windowed) {
            // Analytic functions sort the rows by their partitions and order once more.
            Step s{"WINDOW", "SORT", "", "", "", {}};
            s.children.push_back(std::move(body));
            body = std::move(s);
        }
        if (q.core->distinct) {
            Step s{"SORT", "UNIQUE", "", "", "", {}};
            s.children.push_back(std::move(body));
            body = std::move(s);
        }
        if (b.rownumLimit >= 0 && !b.rownumInsideSource && !b.rownumBeforeSort) {
            Step c{"COUNT", "STOPKEY", "", "", "", {}};
            c.children.push_back(std::move(body));
            body = std::move(c);
        }
    }
    if (q.limit) {
        // Row limiting numbers the rows in a window over the query's order, read through a view.
        Step w{"WINDOW", q.orderBy.empty() ? "NOSORT STOPKEY" : "SORT PUSHED RANK", "", "", "", {}};
        w.children.push_back(std::move(body));
        Step view{"VIEW", "", "", "", "", {}};
        view.children.push_back(std::move(w));
        return view;
    }
    if (!q.orderBy.empty() && sortsForOrderBy) {
        Step s{"SORT", "ORDER BY", "", "", "", {}};
        s.children.push_back(std::move(body));
        body = std::move(s);
    }
    return body;
}

// The PIVOT or UNPIVOT clause an inline view of the block's FROM came from, if any.
const Source *pivotSource(const Query &q) {
    if (!q.core || !q.core->bound)
        return nullptr;
    for (const auto &s : q.core->bound->sources)
        if (s.derived && !s.derived->pivot.empty())
            return &s;
    return nullptr;
}

// Oracle shows a pivot as a grouping step of its own and an unpivot as a view over the row
// source it multiplies.
Step wrapPivot(const Query &pivot, Step body) {
    Step s = pivot.pivot == "PIVOT" ? Step{"HASH", "GROUP BY PIVOT", "", "", "", {}} : Step{"UNPIVOT", "", "", "", "", {}};
    s.children.push_back(std::move(body));
    if (pivot.pivot == "PIVOT")
        return s;
    Step view{"VIEW", "", "", "", "", {}};
    view.children.push_back(std::move(s));
    return view;
}

void flatten(const Step &s, int parent, int position, std::vector<std::tuple<int, int, int, const Step *>> &out) {
    int id = int(out.size());
    out.emplace_back(id, parent, position, &s);
    int pos = 0;
    for (const auto &c : s.children)
        flatten(c, id, ++pos, out);
}

}  // namespace

void explainPlan(ExplainStmt &st, SessionCore &core, NameResolver &names) {
    Name tableName = st.hasInto ? st.into : Name{{"PLAN_TABLE"}, {0}};
    ResolvedObject planTable = names.table(tableName, "INSERT");
    auto explained = parseStatement(st.statementText);
    std::shared_ptr<CompiledStatement> compiled;
    try {
        compiled = compileStatement(*explained, names);
    } catch (const Error &e) {
        throw Error(e.code(), e.what(), e.position() < 0 ? -1 : e.position() + st.statementOffset);
    }
    if (!compiled)
        raise(900, st.statementOffset);
    std::map<std::string, TableName> aliases;
    std::string statementOp = "SELECT STATEMENT";
    if (explained->query) {
        collectAliases(*explained->query, aliases);
    } else {
        Name target = explained->insert   ? explained->insert->table
                      : explained->update ? explained->update->table
                      : explained->del    ? explained->del->table
                                          : explained->merge->target;
        auto r = names.table(target);
        aliases["t0"] = {r.object.owner, r.object.name};
        statementOp = explained->command + " STATEMENT";
        if (explained->insert && explained->insert->query)
            collectAliases(*explained->insert->query, aliases);
    }
    Connection &db = *core.db;
    std::vector<Access> accesses;
    const bool groupingSets = explained->query && explained->query->core && !explained->query->core->groupingSets.empty();
    const Source *pivot = explained->query ? pivotSource(*explained->query) : nullptr;
    bool sortsForOrderBy = false;  // an index in the wanted order needs no sort step
    {
        Prepared p = db.prepare("EXPLAIN QUERY PLAN " + compiled->steps[0]);
        while (p.step()) {
            std::string detail = p.text(3);
            if (detail.find("TEMP B-TREE FOR") != std::string::npos && detail.find("ORDER BY") != std::string::npos)
                sortsForOrderBy = true;
            for (const char *prefix : {"SCAN ", "SEARCH "}) {
                if (detail.rfind(prefix, 0) != 0)
                    continue;
                std::string rest = detail.substr(std::string(prefix).size());
                if (rest.rfind("TABLE ", 0) == 0)
                    rest = rest.substr(6);
                std::string alias = rest.substr(0, rest.find(' '));
                size_t as = rest.find(" AS ");
                if (as != std::string::npos)
                    alias = rest.substr(as + 4, rest.find(' ', as + 4) - as - 4);
                if (alias == "kdb_h" || alias == "kdb_p" || alias == "kdb_q" || alias == "CONSTANT")
                    continue;
                if (!aliases.count(alias)) {
                    // Some plans name the table itself ("SCAN SCOTT.EMP") instead of its alias.
                    std::string byName;
                    for (const auto &[a, table] : aliases)
                        if (table.owner + "." + table.name == alias)
                            byName = a;
                    if (byName.empty())
                        continue;
                    alias = byName;
                }
                // Grouping sets read the same table once per set; the plan shows one visit.
                const bool repeated = std::any_of(accesses.begin(), accesses.end(),
                                                  [&](const Access &a) { return a.alias == alias; });
                // An unpivot reads its source once per IN item; the plan shows one visit.
                const bool sameTable = std::any_of(accesses.begin(), accesses.end(), [&](const Access &a) {
                    return aliases[a.alias].owner == aliases[alias].owner && aliases[a.alias].name == aliases[alias].name;
                });
                // The views a pivot reads through are its own step, not visits beside it.
                const bool pivotRows = pivot && aliases[alias].name.empty() && !aliases[alias].jsonTable;
                if (!(groupingSets && repeated) && !(pivot && sameTable) && !pivotRows)
                    accesses.push_back({alias, detail});
            }
        }
    }
    std::vector<Step> visits;
    for (const auto &a : accesses)
        visits.push_back(accessStep(a, aliases, db));
    Step body;
    if (explained->query && !explained->query->core) {
        const Query &q = *explained->query;
        Step set{q.setOp == "INTERSECT" ? "INTERSECTION" : q.setOp == "MINUS" ? "MINUS" : "UNION-ALL", "", "", "", "", {}};
        for (auto &v : visits)
            set.children.push_back(std::move(v));
        if (q.setOp == "UNION") {
            Step sort{"SORT", "UNIQUE", "", "", "", {}};
            sort.children.push_back(std::move(set));
            body = std::move(sort);
        } else {
            body = std::move(set);
        }
        body = wrapQuery(q, std::move(body), true);
    } else {
        body = joinSteps(std::move(visits));
        if (pivot)
            body = wrapPivot(*pivot->derived, std::move(body));
        if (explained->query)
            body = wrapQuery(*explained->query, std::move(body), sortsForOrderBy);
    }
    Step root{statementOp, "", "", "", "", {}};
    root.children.push_back(std::move(body));
    std::vector<std::tuple<int, int, int, const Step *>> rows;
    flatten(root, -1, 1, rows);
    const TableInfo &t = *planTable.table;
    const int cost = 1 + 2 * int(accesses.size());
    const std::string now = nowText();
    for (const auto &[id, parent, position, step] : rows) {
        std::vector<std::pair<std::string, Value>> values = {
            {"STATEMENT_ID", st.hasStatementId ? Value(st.statementId) : Value()},
            {"TIMESTAMP", Value(now)},
            {"OPERATION", Value(step->operation)},
            {"OPTIONS", step->options.empty() ? Value() : Value(step->options)},
            {"OBJECT_OWNER", step->owner.empty() ? Value() : Value(step->owner)},
            {"OBJECT_NAME", step->object.empty() ? Value() : Value(step->object)},
            {"OBJECT_TYPE", step->objectType.empty() ? Value() : Value(step->objectType)},
            {"OPTIMIZER", id == 0 ? Value(std::string("CHOOSE")) : Value()},
            {"ID", Value(std::int64_t(id))},
            {"PARENT_ID", parent < 0 ? Value() : Value(std::int64_t(parent))},
            {"POSITION", Value(std::int64_t(id == 0 ? cost : position))},
            {"COST", id == 0 ? Value(std::int64_t(cost)) : Value()},
        };
        std::string cols, marks;
        std::vector<const Value *> bound;
        for (const auto &[name, v] : values) {
            if (t.columnIndex(name) < 0)
                continue;
            cols += (cols.empty() ? "" : ", ") + quoteIdent(name);
            marks += (marks.empty() ? "?" : ", ?");
            bound.push_back(&v);
        }
        Prepared p = db.prepare("INSERT INTO " + t.physicalName() + " (" + cols + ") VALUES (" + marks + ")");
        for (size_t i = 0; i < bound.size(); ++i)
            p.bindValue(int(i + 1), *bound[i]);
        p.run();
    }
}

}  // namespace localdb
