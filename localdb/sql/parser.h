// The recursive-descent parser of Oracle SQL into Kestrim's syntax tree. Every Parse function is
// preceded by the grammar it accepts. There is no recovery: the first syntax error ends the
// statement with its ORA code and the byte offset of the token where parsing stopped.
#pragma once

#include "localdb/catalog/sequence_number.h"
#include "localdb/sql/statement.h"
#include "localdb/sql/tokenizer.h"

#include <string_view>

namespace localdb {

// Parses one statement (no trailing ";": a ";" gives ORA-00911 at its position).
std::unique_ptr<Statement> parseStatement(std::string_view sql);

// JSON_VALUE, JSON_QUERY, JSON_EXISTS and the generation functions, whose clauses the parser reads.
bool isJsonFunctionName(std::string_view name);

class Parser {
public:
    explicit Parser(std::string_view sql);

    std::unique_ptr<Statement> statement();
    QueryPtr query();
    ExprPtr expression();  // a condition or a value: the grammar does not tell them apart
    bool atEnd() const { return peek().kind == TokenKind::End; }
    std::string_view source() const { return sql_; }

    // Token access.
    const Token &peek(int ahead = 0) const;
    const Token &advance();
    bool acceptWord(std::string_view word);
    bool acceptOp(std::string_view op);
    void expectWord(std::string_view word, int code);
    void expectOp(std::string_view op, int code);
    [[noreturn]] void fail(int code) const;  // at the current token
    std::string identifier(int code = 904);  // a name part (unquoted or quoted); not a reserved word
    Name qualifiedName(int code = 903);
    bool isIdentifierStart() const;
    int lastEnd() const;  // end offset of the last consumed token

    // Expressions (parser_expr.cpp).
    ExprPtr orCondition();
    ExprPtr andCondition();
    ExprPtr notCondition();
    ExprPtr predicate();
    ExprPtr additive();
    ExprPtr multiplicative();
    ExprPtr unary();
    ExprPtr primary();
    ExprPtr caseExpression();
    ExprPtr atTimeZone(ExprPtr value);
    std::string intervalQualifier();
    ExprPtr nameOrCall();
    std::string arrayStep();

    // What follows and accompanies a call's arguments (parser_window.cpp).
    void callArgumentOptions(Expr &call);
    void callSuffix(Expr &call);
    void windowSpecification(Analytic &a);
    FrameBound frameBound();

    // JSON functions and IS JSON (parser_json.cpp).
    ExprPtr jsonFunction(ExprPtr call);  // after "name(": the arguments and clauses up to ")"
    ExprPtr isJsonCondition(ExprPtr subject, bool negated);  // after "IS [NOT] JSON"
    bool jsonBehaviour(std::string &mode, ExprPtr &defaultValue, std::string &target);
    void jsonDocumentAndPath(Expr &call);
    std::string jsonReturning();
    TableRefPtr jsonTable();  // at JSON_TABLE
    std::string jsonTableColumns(std::vector<OutputColumn> &columns);

    // Queries (parser_query.cpp).
    QueryPtr compound();
    QueryPtr queryTerm();
    std::unique_ptr<SelectCore> selectCore();
    SelectItem selectItem();
    TableRefPtr tableReference();
    TableRefPtr tablePrimary(size_t stopAt = size_t(-1));
    TableRefPtr tableSource();
    void tableAlias(TableRef &ref);
    bool atPivotClause() const;  // parser_pivot.cpp
    TableRefPtr pivotClause(TableRefPtr source);
    TableRefPtr unpivotClause(size_t sourceStart, size_t clauseStart);
    void orderBy(std::vector<OrderItem> &items);
    bool atRowLimit() const;  // parser_row_limit.cpp
    void searchAndCycle(Query &q);  // parser_with.cpp
    void groupByClause(SelectCore &core);  // parser_grouping.cpp
    std::vector<std::vector<int>> groupingElement(SelectCore &core, bool &sets);
    std::vector<std::vector<int>> groupingList(SelectCore &core, bool cube);
    std::vector<int> groupingItem(SelectCore &core);
    int groupExpression(SelectCore &core, ExprPtr e);
    std::unique_ptr<RowLimit> rowLimit();

    // DML and DDL (parser_dml.cpp, parser_ddl.cpp).
    std::unique_ptr<InsertStmt> insertStatement();
    std::unique_ptr<UpdateStmt> updateStatement();
    std::unique_ptr<DeleteStmt> deleteStatement();
    std::unique_ptr<MergeStmt> mergeStatement();
    void assignments(std::vector<Assignment> &sets);
    void createStatement(Statement &st);
    void createTable(Statement &st);
    void columnDefinition(ColumnDef &col, std::vector<ConstraintDef> &constraints);
    void generatedColumn(ColumnDef &col);
    ConstraintDef tableConstraint();
    void constraintState(ConstraintDef &c);
    TypeSpec dataType();
    void alterStatement(Statement &st);
    void dropStatement(Statement &st);
    void grantStatement(Statement &st, bool revoke);
    void sequenceOptions(SequenceOptions &options);
    void skipPhysicalAttributes();
    void skipParenthesised();
    double signedNumber();
    SequenceNumber sequenceValue();

    // Counts nested expressions and queries; a statement nested deeper than any real one is
    // refused instead of exhausting the stack.
    struct DepthGuard {
        explicit DepthGuard(Parser &p);
        ~DepthGuard() { --parser.depth_; }
        Parser &parser;
    };

private:
    int depth_ = 0;
    std::string_view sql_;
    std::vector<Token> tokens_;
    size_t pos_ = 0;
    size_t reparsed_ = 0;  // tokens read again for the copies of an UNPIVOT source
};

// Oracle's reserved words, which cannot name a column or table without quotes.
bool isReservedWord(std::string_view upperWord);

}  // namespace localdb
