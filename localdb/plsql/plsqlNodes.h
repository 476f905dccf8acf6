// The node types a compiled program is made of. Each holds resolved slots and child nodes only;
// the compiler builds them, the runtime calls eval() and exec().
#pragma once

#include "localdb/plsql/plsqlRuntime.h"

#include <functional>

namespace localdb::plsql {

// --- Values and variables ---

struct Literal : Expr {
    Datum value;
    Datum eval(Context &) const override { return value; }
    Numeric evalNumeric(Context &ctx) const override;
};

// A variable of the running frame or of an enclosing one (depth steps up the static link).
struct VarRef : Target {
    int depth = 0;
    int slot = 0;
    bool readOnly = false;
    std::string name;
    Frame &frameOf(Context &ctx) const {
        Frame *f = ctx.frame;
        for (int i = 0; i < depth; ++i)
            f = f->up;
        return *f;
    }
    Datum eval(Context &ctx) const override { return frameOf(ctx).slots[size_t(slot)]; }
    Numeric evalNumeric(Context &ctx) const override;
    void assign(Context &ctx, Datum value) const override;
    bool isReadOnly() const override { return readOnly; }
    Datum *storage(Context &ctx) const override { return &frameOf(ctx).slots[size_t(slot)]; }
};

// A variable of a package reached from outside it.
struct PackageVar : Target {
    const PackageBody *package = nullptr;
    int slot = 0;
    bool readOnly = false;
    Datum eval(Context &ctx) const override { return packageFrame(ctx, *package).slots[size_t(slot)]; }
    Numeric evalNumeric(Context &ctx) const override;
    void assign(Context &ctx, Datum value) const override;
    bool isReadOnly() const override { return readOnly; }
    Datum *storage(Context &ctx) const override { return &packageFrame(ctx, *package).slots[size_t(slot)]; }
};

struct FieldRef : Target {
    TargetP base;
    int index = 0;
    Datum eval(Context &ctx) const override;
    void assign(Context &ctx, Datum value) const override;
    bool isReadOnly() const override { return base->isReadOnly(); }
};

// :name of an anonymous block, read from and written to the caller's binds.
struct BindVar : Target {
    std::string name;
    Datum eval(Context &ctx) const override;
    void assign(Context &ctx, Datum value) const override;
};

// --- Operators ---

struct Binary : Expr {
    enum Op { Add, Sub, Mul, Div, Power, Concat, Eq, Ne, Lt, Le, Gt, Ge, And, Or } op = Add;
    ExprP left, right;
    Datum eval(Context &ctx) const override;
    Numeric evalNumeric(Context &ctx) const override;
    Truth evalTruth(Context &ctx) const override;

    // Picks the result type and the way to compute from the operands' types; the compiler calls
    // it once the operands are in place. Arithmetic and comparisons of numeric operands run on
    // Numeric values; PLS_INTEGER arithmetic (PLS_INTEGER operands and integer literals) is
    // checked against the 32-bit range.
    void settle();
    bool isArithmetic() const { return op <= Power; }
    bool isComparison() const { return op >= Eq && op <= Ge; }

private:
    // An operand read without a call when it is a variable of the running frame or a constant.
    struct Operand {
        enum Kind : std::uint8_t { Node, Local, Constant } kind = Node;
        int slot = 0;
        Numeric constant;
        void settle(const Expr &e);
        Numeric value(const Expr &e, Context &ctx) const;
    };
    enum class Mode : std::uint8_t { General, Numbers, Integers } mode_ = Mode::General;
    Operand left_, right_;
};

// The binary node for the operands, its type and mode settled; arithmetic of two numeric
// literals is done at once (unless it fails: the failure belongs to the run).
ExprP makeBinary(std::unique_ptr<Binary> b);

struct Unary : Expr {
    enum Op { Neg, Not, IsNull, IsNotNull } op = Neg;
    ExprP operand;
    Datum eval(Context &ctx) const override;
    Numeric evalNumeric(Context &ctx) const override;
    Truth evalTruth(Context &ctx) const override;
};

struct Between : Expr {
    ExprP value, low, high;
    bool negated = false;
    Datum eval(Context &ctx) const override;
};

struct InList : Expr {
    ExprP value;
    std::vector<ExprP> items;
    bool negated = false;
    Datum eval(Context &ctx) const override;
};

struct CaseExpr : Expr {
    ExprP selector;  // null for a searched CASE
    std::vector<ExprP> whens, thens;
    ExprP otherwise;
    Datum eval(Context &ctx) const override;
};

// Built-in functions computed natively because loops call them: MOD, ABS, NVL ...
struct NativeFunction : Expr {
    std::function<Datum(Context &, const std::vector<Datum> &)> fn;
    std::vector<ExprP> args;
    Datum eval(Context &ctx) const override;
};

// Anything else SQL can compute, run as SELECT <expression> FROM DUAL with the program's
// variables as binds.
struct SqlExpression : Expr {
    std::shared_ptr<CompiledStatement> statement;
    std::vector<ExprP> hosts;
    bool dateResult = false;
    Datum eval(Context &ctx) const override;
};

struct SqlCodeExpr : Expr {
    Datum eval(Context &ctx) const override;
};

struct SqlErrmExpr : Expr {
    ExprP code;
    Datum eval(Context &ctx) const override;
};

// SQL%ROWCOUNT, SQL%FOUND, SQL%NOTFOUND, SQL%ISOPEN and the same of explicit cursors.
struct CursorAttribute : Expr {
    enum Kind { Found, NotFound, IsOpen, RowCount } kind = Found;
    bool implicit = true;
    int depth = 0, cursor = 0;  // explicit cursor: frame depth and index
    const PackageBody *package = nullptr;
    Datum eval(Context &ctx) const override;
};

// A call of a PL/SQL function or procedure; OUT arguments are targets.
struct Call : Expr {
    const Subprogram *callee = nullptr;
    std::vector<ExprP> args;  // in the callee's parameter order; null: the default
    int linkDepth = -1;       // static link: frames to climb from the caller (-1: package or none)
    Datum eval(Context &ctx) const override;
};

// --- Statements ---

struct StmtList : Stmt {
    std::vector<StmtP> items;
    std::map<int, size_t> labels;  // label id -> index of the statement it marks
    Flow exec(Context &ctx) const override;
};

struct Handler {
    std::vector<const ExceptionDecl *> exceptions;
    std::vector<int> codes;
    bool others = false;
    StmtList body;
    bool matches(const PlError &e) const;
};

struct Block : Stmt {
    StmtList declarations;  // initialisations, outside the handlers' reach
    StmtList body;
    std::vector<Handler> handlers;
    Flow exec(Context &ctx) const override;
};

struct Assign : Stmt {
    TargetP target;
    ExprP value;
    Flow exec(Context &ctx) const override;
};

// A variable's initialisation at block entry: its default or null (records get their fields).
struct Initialise : Stmt {
    int slot = 0;
    PlType type;
    ExprP value;
    Flow exec(Context &ctx) const override;
};

struct NullStmt : Stmt {
    Flow exec(Context &) const override { return Flow::Normal; }
};

struct If : Stmt {
    std::vector<ExprP> conditions;
    std::vector<StmtList> branches;
    std::unique_ptr<StmtList> otherwise;
    Flow exec(Context &ctx) const override;
};

struct CaseStmt : Stmt {
    ExprP selector;
    std::vector<ExprP> whens;
    std::vector<StmtList> branches;
    std::unique_ptr<StmtList> otherwise;
    Flow exec(Context &ctx) const override;
};

struct Loop : Stmt {
    int label = -1;
    ExprP whileCondition;  // WHILE loops
    StmtList body;
    Flow exec(Context &ctx) const override;
};

struct ForRange : Stmt {
    int label = -1;
    int slot = 0;
    bool reverse = false;
    ExprP low, high;
    StmtList body;
    Flow exec(Context &ctx) const override;
};

struct ExitStmt : Stmt {
    bool isContinue = false;
    int label = 0;
    ExprP when;
    Flow exec(Context &ctx) const override;
};

struct GotoStmt : Stmt {
    int label = 0;
    Flow exec(Context &ctx) const override;
};

struct ReturnStmt : Stmt {
    ExprP value;
    PlType type;
    Flow exec(Context &ctx) const override;
};

struct RaiseStmt : Stmt {
    const ExceptionDecl *exception = nullptr;  // user-defined
    int code = 0;                              // predefined
    bool reraise = false;
    Flow exec(Context &ctx) const override;
};

struct CallStmt : Stmt {
    Call call;
    Flow exec(Context &ctx) const override {
        call.eval(ctx);
        return Flow::Normal;
    }
};

// A built-in procedure (DBMS_OUTPUT.PUT_LINE, RAISE_APPLICATION_ERROR ...).
struct BuiltinCall : Stmt {
    std::function<void(Context &, std::vector<Datum> &)> fn;
    std::vector<ExprP> args;
    std::vector<Target *> outArgs;  // per argument: target written back, or null
    Flow exec(Context &ctx) const override;
};

// An embedded SQL statement: DML, SELECT INTO, and the rows of cursors.
struct SqlStatement {
    std::shared_ptr<CompiledStatement> statement;
    std::vector<ExprP> hosts;
    std::vector<bool> dateColumns;
    void bind(Context &ctx, Prepared &p) const;
};

struct DmlStmt : Stmt {
    SqlStatement sql;
    std::vector<TargetP> returning;  // RETURNING ... INTO
    Flow exec(Context &ctx) const override;
};

struct SelectInto : Stmt {
    SqlStatement sql;
    std::vector<TargetP> into;
    Flow exec(Context &ctx) const override;
};

struct TransactionStmt : Stmt {
    enum Kind { Commit, Rollback, RollbackTo, Savepoint } kind = Commit;
    std::string savepoint;
    Flow exec(Context &ctx) const override;
};

// An explicit cursor's declaration as its uses see it.
struct CursorDecl {
    std::string name;
    SqlStatement sql;
    std::vector<Param> params;  // slots in the declaring frame
    int index = 0;              // in the declaring frame's cursors
    int level = 1;
    const PackageBody *package = nullptr;
    std::shared_ptr<RecordType> rowType;
};

struct OpenStmt : Stmt {
    const CursorDecl *cursor = nullptr;
    int depth = 0;
    std::vector<ExprP> args;
    Flow exec(Context &ctx) const override;
};

struct FetchStmt : Stmt {
    const CursorDecl *cursor = nullptr;
    int depth = 0;
    std::vector<TargetP> into;
    Flow exec(Context &ctx) const override;
};

struct CloseStmt : Stmt {
    const CursorDecl *cursor = nullptr;
    int depth = 0;
    Flow exec(Context &ctx) const override;
};

// FOR r IN cursor LOOP / FOR r IN (SELECT ...) LOOP.
struct CursorFor : Stmt {
    int label = -1;
    int recordSlot = 0;
    PlType recordType;
    const CursorDecl *cursor = nullptr;  // declared cursor, or
    int depth = 0;
    std::vector<ExprP> args;
    std::unique_ptr<CursorDecl> inlineCursor;  // an inline query
    StmtList body;
    Flow exec(Context &ctx) const override;
};

// Opens a cursor's state (binding its parameters and query) in the given frame.
CursorState &cursorState(Context &ctx, const CursorDecl &c, int depth);
void openCursor(Context &ctx, const CursorDecl &c, CursorState &state, const std::vector<ExprP> &args);
// Fetches one row into a record or targets; false past the end.
bool fetchRow(Context &ctx, CursorState &state, std::vector<Datum> &row);

}  // namespace localdb::plsql
