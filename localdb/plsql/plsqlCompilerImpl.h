// The compiler's internal state, shared by its source files (declarations, statements,
// expressions, embedded SQL).
#pragma once

#include "localdb/plsql/plsqlCompiler.h"
#include "localdb/sql/name_resolver.h"
#include "localdb/sql/tokenizer.h"

#include <map>
#include <set>

namespace localdb::plsql {

// A built-in procedure call parsed where an expression was expected (DBMS_OUTPUT.PUT_LINE(x)).
struct BuiltinStatementHolder : Expr {
    StmtP statement;
    Datum eval(Context &) const override { return {}; }
};

struct SyntaxError {};  // unwinds to the nearest statement boundary after an error is recorded
// Nesting beyond what the compiler takes (PLS-00123 recorded): unwinds the whole compilation, so a
// text nested thousands deep ends in an error instead of exhausting the native stack.
struct NestingTooDeep : SyntaxError {};

struct Symbol {
    enum Kind { Variable, Cursor, Exception, Subprograms, Type, Package } kind = Variable;
    PlType type;
    int level = 1;
    int slot = 0;
    bool readOnly = false;
    bool constant = false;
    bool malformed = false;  // its declaration had errors: uses give PLS-00320
    const PackageBody *package = nullptr;  // set for package-level symbols
    const CursorDecl *cursor = nullptr;
    const ExceptionDecl *exception = nullptr;
    std::vector<Subprogram *> subprograms;
    std::shared_ptr<CompiledUnit> unit;  // Package: another unit's package
};

struct Scope {
    std::map<std::string, Symbol> symbols;
    Scope *parent = nullptr;
};

// Slots of the frame being laid out (one per subprogram level).
struct FrameLayout {
    int level = 1;
    int slots = 0;
    int cursors = 0;
    Subprogram *owner = nullptr;
    std::vector<std::pair<int, PlType>> *slotTypes = nullptr;
};

class Compiler {
public:
    Compiler(SessionCore &core, const std::string &text, const UnitLookup &lookup, CompileOutput &out);

    // --- tokens ---
    const Token &peek(int ahead = 0) const;
    const Token &advance();
    bool isWord(std::string_view w, int ahead = 0) const { return peek(ahead).isWord(w); }
    bool isOp(std::string_view op, int ahead = 0) const { return peek(ahead).isOperator(op); }
    bool acceptWord(std::string_view w);
    bool acceptOp(std::string_view op);
    void expectWord(std::string_view w, const char *expecting = nullptr);
    void expectOp(std::string_view op, const char *expecting = nullptr);
    std::string identifier(const char *expecting = nullptr);
    bool atEnd() const { return peek().kind == TokenKind::End; }
    [[noreturn]] void syntaxError(const char *expecting, const char *substituted = nullptr);
    void error(int offset, int number, const std::string &text);  // PLS-nnnnn
    void errorPair(int offset, int number, const std::string &text, const char *companion, int companionOffset);
    void lineColumn(int offset, int &line, int &column) const;
    int lineOf(int offset) const;
    void skipToSemicolon();
    std::string textBetween(int from, int to) const { return text_.substr(size_t(from), size_t(to - from)); }

    // --- scopes ---
    void pushScope();
    void popScope();
    Symbol *lookup(const std::string &name);
    Symbol &declare(const std::string &name, int offset, Symbol symbol);
    int newSlot(const PlType &type);
    int newLabel() { return ++labelCounter_; }

    // --- declarations (plsqlDeclarations.cpp) ---
    PlType dataType(bool parameter = false);
    void declarations(StmtList &inits, bool packageLevel, bool spec);
    void declareVariable(StmtList &inits, bool packageLevel);
    void cursorDeclaration(bool packageLevel);
    void typeDeclaration();
    void pragma();
    Subprogram *subprogram(bool spec);
    void parameters(Subprogram &s);
    void subprogramBody(Subprogram &s);
    std::unique_ptr<Block> blockBody(StmtList inits, const std::string &label);
    void exceptionHandlers(Block &b);
    void packageSpec(CompiledUnit &unit);
    void packageBody(CompiledUnit &unit);

    // --- statements (plsqlStatements.cpp) ---
    void statements(StmtList &list, std::initializer_list<std::string_view> terminators);
    StmtP statement(StmtList &list);
    StmtP ifStatement();
    StmtP caseStatement();
    StmtP loopStatement(int label, const std::string &labelName);
    StmtP forStatement(int label, const std::string &labelName);
    StmtP exitStatement(bool isContinue);
    StmtP returnStatement();
    StmtP raiseStatement();
    StmtP assignmentOrCall();
    StmtP sqlStatement();
    StmtP transactionStatement();
    StmtP openStatement();
    StmtP fetchStatement();
    StmtP closeStatement();
    StmtP nestedBlock(const std::string &label);

    // --- expressions (plsqlExpressions.cpp) ---
    ExprP expression();
    ExprP orExpr();
    ExprP andExpr();
    ExprP notExpr();
    ExprP comparison();
    ExprP additive();
    ExprP multiplicative();
    ExprP power();
    ExprP unary();
    ExprP primary();
    ExprP caseExpression();
    ExprP nameExpression(bool statementContext, bool *wasCall = nullptr);
    ExprP sqlFallback(int from, int to);
    TargetP target(const char *what);
    std::unique_ptr<Call> call(const std::vector<Subprogram *> &candidates, int nameOffset, const std::string &name,
                               bool wantFunction, bool external);
    ExprP variableRef(const Symbol &s, const std::string &name);
    ExprP cursorAttribute(const Symbol *cursor, int offset);
    ExprP builtinFunction(const std::string &name, int offset);
    void skipCallArguments();
    void checkType(const Expr &e, TypeKind wanted, int offset);

    // --- embedded SQL (plsqlSql.cpp) ---
    // Compiles SQL text with this scope's variables as host values.
    bool compileSql(const std::string &sql, int offset, SqlStatement &out, int statementOffset);
    std::shared_ptr<RecordType> rowTypeOf(const CompiledStatement &s);
    std::shared_ptr<RecordType> tableRowType(const Name &table, int offset);
    PlType columnType(const Name &column, int offset);
    ExprP sqlHostReference(const Name &name, bool &found);
    bool sqlFunction(ExprPtr &e, const std::function<void(ExprPtr &)> &bindArgument);
    std::shared_ptr<CompiledUnit> unitNamed(const std::string &name);
    void addDependency(const std::string &owner, const std::string &name, const std::string &type);

    // --- builtin packages (plsqlBuiltins.cpp) ---
    StmtP builtinProcedure(const std::string &package, const std::string &name, int offset, int componentOffset);
    ExprP builtinPackageFunction(const std::string &package, const std::string &name, int offset,
                                 int componentOffset);
    // DBMS_OUTPUT's line arrays (GET_LINES): lines(i) and lines.COUNT after a variable of the type.
    static bool isOutputLines(const PlType &t);
    ExprP outputLinesMember(ExprP array, const Name &n, int offset);
    std::vector<ExprP> builtinArguments(std::vector<TargetP> *outs = nullptr, const std::vector<bool> &outMask = {});

    SessionCore &core;
    const UnitLookup &lookupUnit;
    CompileOutput &out;
    std::vector<std::unique_ptr<Subprogram>> subprograms;
    std::vector<std::shared_ptr<ExceptionDecl>> exceptions;
    Program *program = nullptr;
    PackageBody *package = nullptr;  // the package being compiled
    CompiledUnit *unit = nullptr;
    FrameLayout *frame = nullptr;
    Scope *scope = nullptr;
    std::map<std::string, int> labels;  // label name -> id (whole unit)
    std::vector<std::pair<GotoStmt *, std::pair<std::string, int>>> gotos;
    std::set<std::string> dependencyKeys;
    bool inLoop = false;
    int statementOffset = 0;  // start of the statement being compiled ("PL/SQL: Statement ignored")
    // Scopes a name can be qualified by (outer.x): labelled blocks and subprograms, innermost last.
    std::vector<std::pair<std::string, Scope *>> scopeLabels;
    // Names the current scope by a label while it is open.
    class ScopeLabel {
    public:
        ScopeLabel(Compiler &c, const std::string &label) : c_(c), named_(!label.empty()) {
            if (named_)
                c_.scopeLabels.emplace_back(label, c_.scope);
        }
        ~ScopeLabel() {
            if (named_)
                c_.scopeLabels.pop_back();
        }
        ScopeLabel(const ScopeLabel &) = delete;
        ScopeLabel &operator=(const ScopeLabel &) = delete;

    private:
        Compiler &c_;
        bool named_;
    };
    // Counts nested statements and subexpressions while they are compiled.
    class Nesting {
    public:
        Nesting(Compiler &c, int offset);
        ~Nesting() { --c_.nesting_; }
        Nesting(const Nesting &) = delete;
        Nesting &operator=(const Nesting &) = delete;

    private:
        Compiler &c_;
    };
    // Operands chained by binary operators in one expression, evaluated recursively at run time.
    void countOperand(int &operands, int offset);
    std::map<const Subprogram *, int> declaredAt;  // where each subprogram's name was first declared
    bool hadErrors() const { return !out.errors.empty(); }

private:
    std::string text_;
    std::vector<Token> tokens_;
    std::vector<int> lineStarts_;
    size_t pos_ = 0;
    int labelCounter_ = 0;
    int nesting_ = 0;
    bool endReported_ = false;  // an error at end-of-file was recorded
    std::vector<std::unique_ptr<Scope>> scopes_;
};

// DBMS_OUTPUT.CHARARR (also DBMSOUTPUT_LINESARRAY): the type GET_LINES fills.
bool isOutputLinesType(const std::vector<std::string> &parts);
PlType outputLinesType();

// Oracle's lists of what may follow, for PLS-00103.
extern const char *const kExpectStatement;
extern const char *const kExpectDeclaration;
extern const char *const kExpectSpecDeclaration;
extern const char *const kExpectStatementEnd;
extern const char *const kExpectExpression;

}  // namespace localdb::plsql
