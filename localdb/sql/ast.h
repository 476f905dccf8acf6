// Kestrim's own syntax tree of Oracle SQL statements. The parser builds it; the binder annotates
// expressions with their resolved names and static types; the emitters print SQLite SQL from it.
#pragma once

#include "localdb/sql/types.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace localdb {

struct Query;
struct Expr;
struct BoundBlock;
struct Analytic;

// A result column of a query: its Oracle name and static type.
struct OutputColumn {
    std::string name;
    Type type;
};
using ExprPtr = std::unique_ptr<Expr>;
using QueryPtr = std::unique_ptr<Query>;

// Marks a name part that is a JSON array step ([0], [*], [1 to 3], [last]) of dot notation.
inline constexpr char kJsonArrayStep = '\x01';

// A possibly qualified name as written: parts[0].parts[1]..., each folded or quoted.
struct Name {
    std::vector<std::string> parts;
    std::vector<int> offsets;  // byte offset of each part
    int offset() const { return offsets.empty() ? -1 : offsets.front(); }
    const std::string &last() const { return parts.back(); }
};

enum class ExprKind {
    Null,         // NULL or ''
    Number,       // text: the literal as written
    String,       // text: the value
    DateLiteral,  // DATE 'YYYY-MM-DD' (text: normalised value)
    Column,       // name: a column, a pseudo column (ROWNUM, LEVEL, ROWID, SYSDATE, USER) or seq.NEXTVAL
    Star,         // * or t.* in a select list or COUNT(*); name holds the qualifier
    Bind,         // :name
    Unary,        // op "-", "+", "NOT", "PRIOR"
    Binary,       // op "+", "-", "*", "/", "||", "AND", "OR", "=", "<>", "<", ">", "<=", ">="
    IsNull,       // args[0] IS [NOT] NULL (negated)
    Between,      // args[0] [NOT] BETWEEN args[1] AND args[2]
    InList,       // args[0] [NOT] IN (args[1..])
    InQuery,      // args[0..k] [NOT] IN (subquery); args hold the left operands
    Like,         // args[0] [NOT] LIKE args[1] [ESCAPE args[2]]
    Exists,       // [NOT] EXISTS (subquery)
    Subquery,     // (subquery) as a value
    Function,     // name(args), distinct, star (COUNT(*))
    Case,         // CASE [args[0]] WHEN .. THEN .. [ELSE ..] END: whens/thens, elseExpr
    Quantified,   // args[0] op ANY|ALL (subquery)
};

// What the binder found a column name to be.
enum class ColumnBinding {
    Unbound,
    TableColumn,  // a column of a FROM item (source, column)
    Rownum,
    Level,
    Rowid,
    Sysdate,
    User,
    NextVal,  // sequence (sequenceName = physical key)
    CurrVal,
    OuterAlias,  // a select-list alias referenced from ORDER BY
};

struct Expr {
    ExprKind kind;
    int offset = -1;   // first byte of the expression in the statement
    int endOffset = -1;  // one past its last byte
    int operatorOffset = -1;  // the operator of a comparison or condition
    std::string op;    // operator or function name (upper case)
    std::string text;  // literal text
    Name name;         // column, star qualifier, function name parts
    std::vector<ExprPtr> args;
    std::vector<ExprPtr> whens, thens;
    ExprPtr elseExpr;
    QueryPtr query;
    bool negated = false;
    bool distinct = false;     // COUNT(DISTINCT x)
    bool outerJoin = false;    // column marked (+)
    std::string quantifier;    // ANY / ALL / SOME
    // OVER (...), WITHIN GROUP (...), KEEP (...) and the NULLS / FROM options of a call.
    std::unique_ptr<Analytic> analytic;

    // Filled by the binder.
    Type type;
    ColumnBinding binding = ColumnBinding::Unbound;
    int source = -1;          // index of the FROM item in its query block's source list
    int scopeDepth = 0;       // 0: this block; 1: the enclosing block (correlated) ...
    std::string column;       // the stored column name
    std::string sequenceKey;  // "OWNER.NAME" of a sequence
    bool aggregate = false;   // an aggregate function call (set for Function)
    std::string sqlFunction;  // the SQLite function to call (ora_xxx or a native aggregate)

    Expr(ExprKind k, int off) : kind(k), offset(off) {}
};

ExprPtr makeExpr(ExprKind kind, int offset);

// A FROM item: a named table or view, an inline view, or an ANSI join of two items.
struct TableRef {
    enum Kind { Named, Derived, Join, TableFunction } kind = Named;
    Name name;
    std::string alias;
    int aliasOffset = -1;
    QueryPtr query;                            // Derived
    std::unique_ptr<TableRef> left, right;     // Join
    std::string joinType;                      // "INNER", "LEFT", "RIGHT", "FULL", "CROSS"
    ExprPtr on;
    std::vector<std::string> usingColumns;
    bool natural = false;
    int sourceIndex = -1;  // binder: the Source a Named or Derived item became
    // TableFunction (JSON_TABLE): the SQLite table-valued function, its document argument, the
    // description of its rows it takes as text, and the columns it gives.
    std::string functionName;
    ExprPtr functionArgument;
    std::string functionSpec;
    std::vector<OutputColumn> functionColumns;
};
using TableRefPtr = std::unique_ptr<TableRef>;

struct SelectItem {
    ExprPtr expr;           // ExprKind::Star for * and t.*
    std::string alias;      // as written (folded unless quoted)
    bool hasAlias = false;
    std::string derivedName;  // Oracle's derived column name when no alias
    std::vector<std::string> except;  // * of a PIVOT or UNPIVOT: the source columns it leaves out
};

struct OrderItem {
    ExprPtr expr;
    bool descending = false;
    int nulls = 0;  // 0 default, 1 NULLS FIRST, 2 NULLS LAST
};

// One bound of a window frame: UNBOUNDED PRECEDING, n PRECEDING, CURRENT ROW, n FOLLOWING,
// UNBOUNDED FOLLOWING, in the order rows are met.
struct FrameBound {
    enum Kind { None, UnboundedPreceding, Preceding, CurrentRow, Following, UnboundedFollowing } kind = None;
    ExprPtr offset;  // n of n PRECEDING / FOLLOWING
};

// What follows the argument list of an analytic, ordered-set or KEEP call.
struct Analytic {
    bool over = false;  // OVER (...) was written
    int overOffset = -1;
    std::vector<ExprPtr> partitionBy;
    std::vector<OrderItem> orderBy;  // inside OVER
    int orderOffset = -1;
    std::string frameUnit;  // "ROWS" or "RANGE"; empty: the default frame
    int frameOffset = -1;
    FrameBound start, end;  // end.kind None: the one-bound form (start AND CURRENT ROW)
    bool ignoreNulls = false;
    bool fromLast = false;  // NTH_VALUE ... FROM LAST
    // WITHIN GROUP (ORDER BY ...) of LISTAGG and PERCENTILE_*, or the ORDER BY of KEEP.
    bool withinGroup = false;
    int keep = 0;  // KEEP (DENSE_RANK FIRST ...): 1, LAST: 2
    std::vector<OrderItem> groupOrder;
    // LISTAGG ... ON OVERFLOW TRUNCATE ['indicator'] [WITH | WITHOUT COUNT]
    bool overflowTruncate = false;
    std::string overflowIndicator = "...";
    bool overflowCount = true;
};

// One SELECT ... FROM ... block.
struct SelectCore {
    int offset = -1;
    bool distinct = false;
    std::vector<SelectItem> items;
    std::vector<TableRefPtr> from;
    ExprPtr where;
    ExprPtr startWith;
    ExprPtr connectBy;
    bool noCycle = false;
    std::vector<ExprPtr> groupBy;
    // ROLLUP, CUBE, GROUPING SETS: the sets of groupBy positions to group by, one result branch
    // each (empty: a plain GROUP BY).
    std::vector<std::vector<int>> groupingSets;
    ExprPtr having;
    std::vector<OrderItem> siblingsOrder;  // ORDER SIBLINGS BY of a hierarchical query
    // PIVOT: the block groups by every column its * gives, and its last pivotCells items are the
    // aggregates of the pivoted columns.
    bool groupByStar = false;
    int pivotCells = 0;

    std::shared_ptr<BoundBlock> bound;  // filled by the binder
};

// OFFSET n ROWS FETCH FIRST m [PERCENT] ROWS ONLY | WITH TIES
struct RowLimit {
    ExprPtr offset;  // nullptr: none
    ExprPtr count;   // nullptr: every row after the offset
    bool percent = false;
    bool withTies = false;
};

// A query: a single block or a set operation of two queries, with ORDER BY on the whole.
struct Query {
    int offset = -1;
    std::unique_ptr<SelectCore> core;  // set for a single block
    std::string setOp;                 // "UNION", "UNION ALL", "INTERSECT", "MINUS"
    QueryPtr left, right;
    std::vector<OrderItem> orderBy;
    bool forUpdate = false;
    std::vector<std::pair<std::string, QueryPtr>> with;  // WITH name AS (query)
    std::unique_ptr<RowLimit> limit;                     // OFFSET / FETCH after ORDER BY
    // A factored subquery (WITH name (columns) AS (...)): its column alias list, and for a
    // recursive one the name of its SQLite common table expression (set by the binder).
    std::vector<std::string> withColumns;
    int withColumnsOffset = -1;
    std::string recursiveName;
    std::string recursiveAlias;  // SQL alias of the self-reference in the recursive member
    std::string pivot;  // "PIVOT" or "UNPIVOT": the inline view such a clause became
    // SEARCH DEPTH|BREADTH FIRST BY ... SET column and CYCLE ... SET mark TO v DEFAULT d
    std::string searchKind;  // "DEPTH", "BREADTH" or empty
    std::vector<std::string> searchBy;
    std::string searchColumn;
    std::vector<std::string> cycleColumns;
    std::string cycleMark, cycleValue, cycleDefault;
    int cycleOffset = -1;

    std::vector<OutputColumn> outputs;  // filled by the binder
    std::vector<int> orderPositions;    // binder: 1-based output position per ORDER BY item, 0 = expression
};

// A column definition of CREATE TABLE / ALTER TABLE.
struct ColumnDef {
    std::string name;
    int offset = -1;
    TypeSpec type;
    bool hasType = true;
    std::string defaultText;  // DEFAULT expression as written ("" when none)
    ExprPtr defaultExpr;
    bool hasDefault = false;
    bool notNull = false;
    std::string notNullName;  // CONSTRAINT name NOT NULL
    bool explicitNull = false;
    bool defaultOnNull = false;      // DEFAULT ON NULL, or an identity BY DEFAULT ON NULL
    std::string identity;            // "ALWAYS" or "BY DEFAULT" for an identity column
    std::string identityOptions;     // the sequence options of an identity column, as written
    bool isVirtual = false;          // [GENERATED ALWAYS] AS (expression) [VIRTUAL]: defaultText holds it
};

struct ConstraintDef {
    std::string name;  // empty: system-generated
    int offset = -1;
    char type = 'C';   // P, U, R, C
    std::vector<std::string> columns;
    std::string checkText;
    ExprPtr check;
    Name refTable;
    std::vector<std::string> refColumns;
    std::string deleteRule = "NO ACTION";
    bool disabled = false;
    std::string usingIndex;  // USING INDEX name (accepted)
};

}  // namespace localdb
