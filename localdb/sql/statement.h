// Parsed statements, one struct per statement kind, all held by Statement.
#pragma once

#include "localdb/sql/ast.h"
#include "localdb/catalog/sequence_number.h"

#include <memory>
#include <string>
#include <vector>

namespace localdb {

struct Assignment {
    std::vector<std::string> columns;  // one column, or (c1, c2) = (subquery)
    std::vector<int> offsets;
    ExprPtr value;
};

struct InsertStmt {
    Name table;
    std::string alias;
    std::vector<std::string> columns;
    std::vector<int> columnOffsets;
    std::vector<ExprPtr> values;  // VALUES (...)
    int valuesOffset = -1;
    QueryPtr query;               // INSERT ... SELECT
};

struct UpdateStmt {
    Name table;
    std::string alias;
    std::vector<Assignment> sets;
    ExprPtr where;
};

struct DeleteStmt {
    Name table;
    std::string alias;
    ExprPtr where;
};

struct MergeStmt {
    Name target;
    std::string targetAlias;
    TableRefPtr source;
    ExprPtr on;
    std::vector<Assignment> updateSets;  // WHEN MATCHED THEN UPDATE SET
    ExprPtr updateWhere;
    ExprPtr deleteWhere;
    bool hasUpdate = false, hasDelete = false, hasInsert = false;
    std::vector<std::string> insertColumns;
    std::vector<ExprPtr> insertValues;
    ExprPtr insertWhere;
};

struct CreateTableStmt {
    Name table;
    std::vector<ColumnDef> columns;
    std::vector<ConstraintDef> constraints;  // table-level and inline constraints
    QueryPtr asQuery;                        // CREATE TABLE ... AS SELECT
    bool temporary = false;
};

struct AlterTableStmt {
    Name table;
    enum Action {
        AddColumns, ModifyColumns, DropColumns, AddConstraint, DropConstraint, EnableConstraint,
        DisableConstraint, RenameColumn, RenameTable, DropPrimaryKey, Nothing
    } action = Nothing;
    std::vector<ColumnDef> columns;
    std::vector<ConstraintDef> constraints;
    std::vector<std::string> names;  // dropped columns / constraint name / rename pair
    int nameOffset = -1;
    bool cascade = false;
};

struct CreateIndexStmt {
    Name index;
    Name table;
    bool unique = false;
    std::vector<std::string> columns;
    std::vector<int> columnOffsets;
    std::vector<bool> descending;
};

struct CreateViewStmt {
    Name view;
    bool orReplace = false;
    bool force = false;
    std::vector<std::string> columnAliases;
    QueryPtr query;
    std::string queryText;  // the text after AS, as written
    bool readOnly = false;
    bool checkOption = false;
    std::string checkName;
};

struct SequenceOptions {
    bool hasStart = false, hasIncrement = false, hasMin = false, hasMax = false;
    SequenceNumber start = 1, increment = 1, minValue = 1, maxValue = 1;
    bool noMin = false, noMax = false;
    bool cycle = false, order = false;
    long long cache = 20;
};

struct CreateSequenceStmt {
    Name sequence;
    SequenceOptions options;
};

struct CreateSynonymStmt {
    Name synonym;
    Name target;
    bool isPublic = false;
    bool orReplace = false;
};

struct DropStmt {
    std::string objectType;  // TABLE, VIEW, INDEX, SEQUENCE, SYNONYM, USER, ROLE
    Name name;
    bool isPublic = false;
    bool cascade = false;  // CASCADE CONSTRAINTS / CASCADE (user)
};

struct CommentStmt {
    bool onColumn = false;
    Name target;  // table or table.column
    std::string text;
};

struct UserStmt {  // CREATE / ALTER USER
    std::string name;
    int nameOffset = -1;
    std::string password;
    bool hasPassword = false;
    bool lock = false, unlock = false;
};

struct GrantStmt {
    std::vector<std::string> privileges;  // SELECT, INSERT, ..., CREATE TABLE, CONNECT, DBA
    Name object;                          // empty for system privileges and roles
    bool onObject = false;
    std::vector<std::string> grantees;
    bool withOption = false;
};

struct AlterSessionStmt {
    std::string parameter;
    std::string value;
    int valueOffset = -1;
};

struct ExplainStmt {
    std::string statementId;
    bool hasStatementId = false;
    Name into;
    bool hasInto = false;
    std::string statementText;  // the explained statement, as written
    int statementOffset = 0;
};

struct TransactionStmt {
    std::string savepoint;  // SAVEPOINT name / ROLLBACK TO name
};

struct Statement {
    enum Kind {
        Select, Insert, Update, Delete, Merge, CreateTable, AlterTable, CreateIndex, CreateView,
        CreateSequence, AlterSequence, CreateSynonym, Drop, Truncate, Rename, Comment, CreateUser,
        AlterUser, CreateRole, Grant, Revoke, Commit, Rollback, Savepoint, SetTransaction,
        AlterSession, Explain, LockTable, Ignored
    } kind = Ignored;
    std::string command;  // Oracle's command name ("CREATE TABLE", "INSERT" ...)

    QueryPtr query;
    std::unique_ptr<InsertStmt> insert;
    std::unique_ptr<UpdateStmt> update;
    std::unique_ptr<DeleteStmt> del;
    std::unique_ptr<MergeStmt> merge;
    std::unique_ptr<CreateTableStmt> createTable;
    std::unique_ptr<AlterTableStmt> alterTable;
    std::unique_ptr<CreateIndexStmt> createIndex;
    std::unique_ptr<CreateViewStmt> createView;
    std::unique_ptr<CreateSequenceStmt> createSequence;
    std::unique_ptr<CreateSynonymStmt> createSynonym;
    std::unique_ptr<DropStmt> drop;
    std::unique_ptr<CommentStmt> comment;
    std::unique_ptr<UserStmt> user;
    std::unique_ptr<GrantStmt> grant;
    std::unique_ptr<AlterSessionStmt> alterSession;
    std::unique_ptr<ExplainStmt> explain;
    std::unique_ptr<TransactionStmt> transaction;
    Name renameFrom, renameTo;  // RENAME and TRUNCATE (renameFrom)

    bool isDdl() const;
};

}  // namespace localdb
