// Parser: INSERT, UPDATE, DELETE and MERGE.
#include "localdb/sql/parser.h"

#include "localdb/system/errors.h"

namespace localdb {

// insert: INSERT INTO qualified-name [ alias ] [ ( column { , column } ) ]
//         ( VALUES ( expression { , expression } ) | query )
std::unique_ptr<InsertStmt> Parser::insertStatement() {
    advance();
    auto st = std::make_unique<InsertStmt>();
    expectWord("INTO", 925);
    st->table = qualifiedName(903);
    if (peek().kind == TokenKind::Identifier && !isReservedWord(peek().text))
        st->alias = identifier();
    if (peek().isOperator("(") && !peek(1).isWord("SELECT") && !peek(1).isWord("WITH")) {
        advance();
        do {
            st->columnOffsets.push_back(peek().offset);
            Name n = qualifiedName(904);
            st->columns.push_back(n.last());
        } while (acceptOp(","));
        expectOp(")", 907);
    }
    if (peek().isWord("VALUES")) {
        st->valuesOffset = advance().offset;
        expectOp("(", 906);
        do {
            if (peek().isWord("DEFAULT")) {
                auto d = makeExpr(ExprKind::Column, advance().offset);
                d->name.parts.push_back("DEFAULT");
                d->name.offsets.push_back(d->offset);
                st->values.push_back(std::move(d));
            } else {
                st->values.push_back(expression());
            }
        } while (acceptOp(","));
        expectOp(")", 907);
    } else if (peek().isWord("SELECT") || peek().isWord("WITH") || peek().isOperator("(")) {
        st->query = query();
    } else {
        fail(926);
    }
    return st;
}

// assignments: column = expression | ( column { , column } ) = ( query )  { , ... }
void Parser::assignments(std::vector<Assignment> &sets) {
    do {
        Assignment a;
        if (acceptOp("(")) {
            do {
                a.offsets.push_back(peek().offset);
                a.columns.push_back(qualifiedName(904).last());
            } while (acceptOp(","));
            expectOp(")", 907);
        } else {
            a.offsets.push_back(peek().offset);
            a.columns.push_back(qualifiedName(904).last());
        }
        expectOp("=", 927);
        if (peek().isWord("DEFAULT")) {
            auto d = makeExpr(ExprKind::Column, advance().offset);
            d->name.parts.push_back("DEFAULT");
            d->name.offsets.push_back(d->offset);
            a.value = std::move(d);
        } else {
            a.value = additive();
        }
        if (a.columns.size() > 1 && a.value->kind != ExprKind::Subquery)
            raise(1767, a.value->offset);
        sets.push_back(std::move(a));
    } while (acceptOp(","));
}

// update: UPDATE qualified-name [ alias ] SET assignments [ WHERE condition ]
std::unique_ptr<UpdateStmt> Parser::updateStatement() {
    advance();
    auto st = std::make_unique<UpdateStmt>();
    st->table = qualifiedName(903);
    if (peek().kind == TokenKind::Identifier && !isReservedWord(peek().text))
        st->alias = identifier();
    expectWord("SET", 971);
    assignments(st->sets);
    if (acceptWord("WHERE"))
        st->where = expression();
    return st;
}

// delete: DELETE [ FROM ] qualified-name [ alias ] [ WHERE condition ]
std::unique_ptr<DeleteStmt> Parser::deleteStatement() {
    advance();
    auto st = std::make_unique<DeleteStmt>();
    acceptWord("FROM");
    st->table = qualifiedName(903);
    if (peek().kind == TokenKind::Identifier && !isReservedWord(peek().text))
        st->alias = identifier();
    if (acceptWord("WHERE"))
        st->where = expression();
    return st;
}

// merge: MERGE INTO qualified-name [ alias ] USING table-primary ON ( condition )
//        [ WHEN MATCHED THEN UPDATE SET assignments [ WHERE condition ] [ DELETE WHERE condition ] ]
//        [ WHEN NOT MATCHED THEN INSERT [ ( column-list ) ] VALUES ( expression-list ) [ WHERE condition ] ]
std::unique_ptr<MergeStmt> Parser::mergeStatement() {
    advance();
    auto st = std::make_unique<MergeStmt>();
    expectWord("INTO", 925);
    st->target = qualifiedName(903);
    if (peek().kind == TokenKind::Identifier && !isReservedWord(peek().text) && !peek().isWord("USING"))
        st->targetAlias = identifier();
    expectWord("USING", 905);
    st->source = tablePrimary();
    expectWord("ON", 905);
    expectOp("(", 906);
    st->on = expression();
    expectOp(")", 907);
    while (acceptWord("WHEN")) {
        if (acceptWord("MATCHED")) {
            expectWord("THEN", 905);
            expectWord("UPDATE", 905);
            expectWord("SET", 971);
            st->hasUpdate = true;
            assignments(st->updateSets);
            if (acceptWord("WHERE"))
                st->updateWhere = expression();
            if (acceptWord("DELETE")) {
                expectWord("WHERE", 905);
                st->hasDelete = true;
                st->deleteWhere = expression();
            }
        } else {
            expectWord("NOT", 905);
            expectWord("MATCHED", 905);
            expectWord("THEN", 905);
            expectWord("INSERT", 905);
            st->hasInsert = true;
            if (acceptOp("(")) {
                do
                    st->insertColumns.push_back(qualifiedName(904).last());
                while (acceptOp(","));
                expectOp(")", 907);
            }
            expectWord("VALUES", 926);
            expectOp("(", 906);
            do
                st->insertValues.push_back(expression());
            while (acceptOp(","));
            expectOp(")", 907);
            if (acceptWord("WHERE"))
                st->insertWhere = expression();
        }
    }
    return st;
}

}  // namespace localdb
