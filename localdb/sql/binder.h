// The binder: resolves every name of a statement against the catalogue, gives each expression its
// static type, inserts the implicit conversions Oracle makes, and plans what SQLite lacks
// (old-style outer joins, ROWNUM, CONNECT BY, Oracle's strict GROUP BY). The emitters then print
// SQLite SQL from the annotated tree without looking anything up.
#pragma once

#include "localdb/sql/ast.h"
#include "localdb/sql/name_resolver.h"

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace localdb {

struct Source {
    std::string alias;         // qualifies its columns: the alias, or the table's own name
    std::string owner;         // owner of a named table, for OWNER.TABLE.COLUMN
    std::string sqlAlias;      // alias in the emitted SQL ("t0"); empty: columns unqualified
    std::string sqlFrom;       // physical name of a named table or view
    Query *derived = nullptr;  // an inline view
    bool isTable = false;      // a stored table (has a rowid and a storage order)
    std::vector<OutputColumn> columns;
    std::vector<std::string> columnSql;  // when set: the SQL each column stands for (a view's columns)
    // A table function (JSON_TABLE): sqlFrom is the function, called with this argument and spec.
    Expr *functionArgument = nullptr;
    std::string functionSpec;
    // Old-style outer join: this source is null-extended and joined after dependsOn with onConditions.
    bool optional = false;
    std::vector<Expr *> onConditions;
    std::set<int> dependsOn;
};

struct BoundBlock {
    std::vector<Source> sources;
    std::vector<int> joinOrder;     // emission order of the sources of a comma-separated FROM
    bool ansi = false;              // FROM holds ANSI joins: emitted from the TableRef tree
    std::vector<Expr *> where;      // conjuncts left in WHERE
    bool grouped = false;           // GROUP BY or an aggregate
    long long rownumLimit = -1;     // ROWNUM predicates: LIMIT k (-1: none)
    bool rownumInsideSource = false;  // the limit is applied inside the only source
    bool rownumBeforeSort = false;    // several sources: the limited rows are sorted by an outer query
    bool hierarchical = false;      // CONNECT BY
    bool connectByPrior = false;    // the CONNECT BY condition uses PRIOR (else: a row generator)
    // Values carried down the hierarchy, one column of the recursive query each:
    // SYS_CONNECT_BY_PATH(value, separator) (separator set) and CONNECT_BY_ROOT value.
    struct Carried {
        ExprPtr value;
        ExprPtr separator;
    };
    std::vector<Carried> carried;
    bool windowed = false;          // an analytic function: rows come in the window's order
    std::vector<ExprPtr> owned;     // conditions the binder added to where
};

// One query block's names during binding; parent is the enclosing block (correlation).
struct Scope {
    BoundBlock *block = nullptr;
    Scope *parent = nullptr;
    bool aggregatesAllowed = false;
    bool inConnectBy = false;       // PRIOR allowed
    bool columnsAllowed = true;     // false in VALUES: ORA-00984
    bool inWhere = false;           // ROWNUM predicates allowed
    bool analyticAllowed = false;   // select list and ORDER BY: OVER (...) allowed
};

class Binder {
public:
    explicit Binder(NameResolver &names) : names_(names) {}

    // Binds a whole query (outer: the enclosing scope of a correlated subquery).
    void bindQuery(Query &q, Scope *outer = nullptr);
    // Binds an expression in a scope; the pointer may be replaced by a conversion around it.
    void bindExpr(ExprPtr &e, Scope &scope);

    // Wraps e so that its value has the wanted family (implicit conversion); no-op when it has.
    void convert(ExprPtr &e, BaseType wanted);
    // A source for a named table, as DML and constraint checks use it.
    Source tableSource(const ResolvedObject &object, const std::string &alias, const std::string &sqlAlias);

    NameResolver &names() { return names_; }
    // Bind variable names in the order they occur (upper case, without the colon).
    const std::vector<std::string> &binds() const { return binds_; }
    // Whether seq.NEXTVAL / CURRVAL may appear where binding continues (select list, VALUES, SET).
    void allowSequences(bool allowed) { sequencesAllowed_ = allowed; }
    ExprPtr cloneBound(const Expr &e);
    std::unique_ptr<Analytic> cloneAnalytic(const Analytic &a);
    // Keeps the SQL alias t0 for the table a DML statement writes: sources of its subqueries
    // are numbered from t1.
    void reserveTargetAlias() { aliasCounter_ = std::max(aliasCounter_, 1); }
    // Binds the WHERE of an UPDATE or DELETE over scope's block. Its ROWNUM limits (ROWNUM <= n
    // ...) leave the condition and come back as the number of rows to change (-1: every row that
    // matches); conditions gets the conjuncts left.
    long long bindDmlWhere(ExprPtr &where, Scope &scope, std::vector<Expr *> &conditions);

private:
    void bindCore(SelectCore &core, Query &q, Scope *outer);
    void addSource(BoundBlock &block, TableRef &ref, Scope &scope);
    void checkViewUsable(const ResolvedObject &view, int offset);
    void planOuterJoins(BoundBlock &block, SelectCore &core);
    void planRownum(BoundBlock &block, SelectCore &core, Scope &scope);
    void expandStars(SelectCore &core, BoundBlock &block);
    void bindOrderBy(Query &q, Scope *scope);
    void checkGrouping(SelectCore &core, Query &q);
    void bindColumn(ExprPtr &e, Scope &scope);
    void bindFunction(ExprPtr &e, Scope &scope);
    void bindAnalytic(ExprPtr &e, Scope &scope);  // binder_window.cpp
    void bindWindow(Analytic &a, Scope &scope);
    void bindRowLimit(RowLimit &limit);  // binder_row_limit.cpp
    void bindGroupingFunction(ExprPtr &e, Scope &scope);
    void groupByPivotColumns(SelectCore &core);  // binder_pivot.cpp
    void checkPivotCells(const SelectCore &core);
    void checkPivotNames(const Query &q);
    void bindWith(const std::string &name, Query &sub, Scope *outer);  // binder_with.cpp
    void bindBinary(ExprPtr &e, Scope &scope);
    void compareTypes(ExprPtr &a, ExprPtr &b);
    bool lookupColumn(Scope &scope, const Name &n, Expr &e, int depth);
    bool bindJsonDotNotation(ExprPtr &e, Scope &scope);

    NameResolver &names_;
    std::vector<std::string> binds_;
    bool priorActive_ = false;
    bool rownumSeen_ = false;
    bool sequencesAllowed_ = true;
    std::set<std::int64_t> nextvalSeen_;  // sequences whose NEXTVAL already appeared in the statement
    int aliasCounter_ = 0;
    std::map<std::string, Query *> withQueries_;
    std::map<std::string, Source> recursiveWith_;  // the recursive WITH element being bound
    std::string selfAlias_;                        // SQL alias its self-reference got
    int recursiveCounter_ = 0;
};

// Structural equality of two bound expressions (GROUP BY matching).
bool sameExpression(const Expr &a, const Expr &b);

// Splits an AND tree into its conjuncts.
void conjuncts(Expr *e, std::vector<Expr *> &out);

}  // namespace localdb
