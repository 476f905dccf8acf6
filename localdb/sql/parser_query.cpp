// Parser: queries — WITH, set operators, select blocks, FROM items and ORDER BY.
#include "localdb/sql/parser.h"

#include "localdb/system/errors.h"

namespace localdb {
namespace {

// Words that end a FROM item or select item although Oracle does not reserve them.
bool endsAlias(const Token &t) {
    if (t.kind != TokenKind::Identifier)
        return false;
    static const char *const words[] = {"JOIN", "INNER", "LEFT", "RIGHT", "FULL", "CROSS", "NATURAL",
                                        "USING", "OUTER", "MINUS", "INTERSECT", "UNION", "RETURNING"};
    for (const char *w : words)
        if (t.text == w)
            return true;
    return false;
}

std::string derivedName(std::string_view text) {
    std::string out;
    for (char ch : text) {
        if (ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n' || ch == '\f' || ch == '\v')
            continue;
        out += (ch >= 'a' && ch <= 'z') ? char(ch - 'a' + 'A') : ch;
    }
    return out;
}

}  // namespace

// query: [ WITH name AS ( query ) { , name AS ( query ) } ] compound [ ORDER [ SIBLINGS ] BY order-list ]
//        [ FOR UPDATE [ OF column-list ] [ NOWAIT | WAIT n ] ]
QueryPtr Parser::query() {
    DepthGuard guard(*this);
    std::vector<std::pair<std::string, QueryPtr>> with;
    if (acceptWord("WITH")) {
        do {
            std::string name = identifier();
            std::vector<std::string> columns;
            int columnsOffset = peek().offset;
            if (acceptOp("(")) {
                do
                    columns.push_back(identifier());
                while (acceptOp(","));
                expectOp(")", 907);
            }
            expectWord("AS", 905);
            expectOp("(", 906);
            with.emplace_back(name, query());
            with.back().second->withColumns = std::move(columns);
            with.back().second->withColumnsOffset = columnsOffset;
            expectOp(")", 907);
            searchAndCycle(*with.back().second);
        } while (acceptOp(","));
    }
    QueryPtr q = compound();
    if (!with.empty()) {
        if (!q->with.empty() || !q->core) {
            auto wrapper = std::make_unique<Query>();
            wrapper->offset = q->offset;
            wrapper->setOp = q->setOp;
            wrapper->left = std::move(q->left);
            wrapper->right = std::move(q->right);
            wrapper->core = std::move(q->core);
            wrapper->orderBy = std::move(q->orderBy);
            q = std::move(wrapper);
        }
        q->with = std::move(with);
    }
    if (peek().isWord("ORDER")) {
        advance();
        if (acceptWord("SIBLINGS")) {
            expectWord("BY", 924);
            if (!q->core || !q->core->connectBy)
                raise(30929, peek().offset);
            orderBy(q->core->siblingsOrder);
        } else {
            expectWord("BY", 924);
            orderBy(q->orderBy);
        }
    }
    // Where the query may end, OFFSET and FETCH can only start the row limiting clause.
    if (peek().isWord("OFFSET") || peek().isWord("FETCH"))
        q->limit = rowLimit();
    if (acceptWord("FOR")) {
        expectWord("UPDATE", 905);
        q->forUpdate = true;
        if (acceptWord("OF")) {
            do
                qualifiedName(904);
            while (acceptOp(","));
        }
        if (!acceptWord("NOWAIT") && acceptWord("WAIT"))
            advance();
    }
    return q;
}

// compound: query-term { ( UNION [ ALL ] | INTERSECT | MINUS ) query-term }
QueryPtr Parser::compound() {
    QueryPtr left = queryTerm();
    for (int n = 0;; ++n) {
        if (n > 1000)
            raise(3001, left->offset);
        std::string op;
        if (acceptWord("UNION"))
            op = acceptWord("ALL") ? "UNION ALL" : "UNION";
        else if (acceptWord("INTERSECT"))
            op = "INTERSECT";
        else if (acceptWord("MINUS"))
            op = "MINUS";
        else
            return left;
        auto q = std::make_unique<Query>();
        q->offset = left->offset;
        q->setOp = op;
        q->left = std::move(left);
        q->right = queryTerm();
        left = std::move(q);
    }
}

// query-term: select-core | ( query )
QueryPtr Parser::queryTerm() {
    if (peek().isOperator("(")) {
        advance();
        QueryPtr q = query();
        expectOp(")", 907);
        return q;
    }
    if (!peek().isWord("SELECT"))
        fail(928);
    auto q = std::make_unique<Query>();
    q->offset = peek().offset;
    q->core = selectCore();
    return q;
}

// select-core: SELECT [ DISTINCT | UNIQUE | ALL ] select-item { , select-item }
//              FROM table-reference { , table-reference } [ WHERE condition ]
//              [ START WITH condition ] [ CONNECT BY [ NOCYCLE ] condition ] [ START WITH condition ]
//              [ GROUP BY expression { , expression } ] [ HAVING condition ]
std::unique_ptr<SelectCore> Parser::selectCore() {
    auto core = std::make_unique<SelectCore>();
    core->offset = advance().offset;
    if (acceptWord("DISTINCT") || acceptWord("UNIQUE"))
        core->distinct = true;
    else
        acceptWord("ALL");
    do
        core->items.push_back(selectItem());
    while (acceptOp(","));
    if (!acceptWord("FROM"))
        fail(923);
    do
        core->from.push_back(tableReference());
    while (acceptOp(","));
    if (acceptWord("WHERE"))
        core->where = expression();
    for (int round = 0; round < 2; ++round) {
        if (peek().isWord("START") && peek(1).isWord("WITH") && !core->startWith) {
            advance();
            advance();
            core->startWith = expression();
        }
        if (peek().isWord("CONNECT") && !core->connectBy) {
            advance();
            expectWord("BY", 924);
            core->noCycle = acceptWord("NOCYCLE");
            core->connectBy = expression();
        }
    }
    if (peek().isWord("GROUP")) {
        advance();
        expectWord("BY", 924);
        groupByClause(*core);
    }
    if (acceptWord("HAVING"))
        core->having = expression();
    return core;
}

// select-item: * | name . * | expression [ [ AS ] alias ]
SelectItem Parser::selectItem() {
    SelectItem item;
    if (peek().isOperator("*")) {
        item.expr = makeExpr(ExprKind::Star, advance().offset);
        item.expr->endOffset = lastEnd();
        return item;
    }
    item.expr = expression();
    // SQL has no truth values: a condition cannot be selected (SELECT 1 = 1 FROM dual).
    if (item.expr->operatorOffset >= 0)
        raise(923, item.expr->operatorOffset);
    int end = lastEnd();
    item.derivedName = derivedName(sql_.substr(size_t(item.expr->offset), size_t(end - item.expr->offset)));
    if (item.expr->kind == ExprKind::Star)
        return item;
    if (acceptWord("AS")) {
        if (peek().kind == TokenKind::String)
            fail(923);
        item.alias = identifier(923);
        item.hasAlias = true;
    } else if ((peek().kind == TokenKind::Identifier && !isReservedWord(peek().text) && !endsAlias(peek()) &&
         !atRowLimit()) ||
               peek().kind == TokenKind::QuotedIdentifier) {
        item.alias = identifier(923);
        item.hasAlias = true;
    }
    return item;
}

// table-reference: table-primary { [ INNER | LEFT [OUTER] | RIGHT [OUTER] | FULL [OUTER] | CROSS | NATURAL ]
//                  JOIN table-primary [ ON condition | USING ( column { , column } ) ] }
TableRefPtr Parser::tableReference() {
    TableRefPtr left = tablePrimary();
    for (;;) {
        std::string type;
        bool natural = false;
        if (acceptWord("NATURAL"))
            natural = true;
        if (acceptWord("INNER"))
            type = "INNER";
        else if (acceptWord("LEFT"))
            type = "LEFT";
        else if (acceptWord("RIGHT"))
            type = "RIGHT";
        else if (acceptWord("FULL"))
            type = "FULL";
        else if (acceptWord("CROSS"))
            type = "CROSS";
        if (type == "LEFT" || type == "RIGHT" || type == "FULL")
            acceptWord("OUTER");
        if (type.empty() && !natural && !peek().isWord("JOIN"))
            return left;
        expectWord("JOIN", 905);
        if (type.empty())
            type = "INNER";
        auto join = std::make_unique<TableRef>();
        join->kind = TableRef::Join;
        join->joinType = type;
        join->natural = natural;
        join->left = std::move(left);
        join->right = tablePrimary();
        if (acceptWord("ON")) {
            join->on = expression();
        } else if (acceptWord("USING")) {
            expectOp("(", 906);
            do
                join->usingColumns.push_back(identifier());
            while (acceptOp(","));
            expectOp(")", 907);
        } else if (type != "CROSS" && !natural) {
            fail(905);
        }
        left = std::move(join);
    }
}

// table-primary: table-source { pivot-clause [ alias ] | unpivot-clause [ alias ] }
// stopAt: the token where a copy of an UNPIVOT's source ends (its own clause).
TableRefPtr Parser::tablePrimary(size_t stopAt) {
    const size_t start = pos_;
    TableRefPtr ref = tableSource();
    while (pos_ != stopAt && atPivotClause()) {
        ref = peek().isWord("PIVOT") ? pivotClause(std::move(ref)) : unpivotClause(start, pos_);
        tableAlias(*ref);
    }
    return ref;
}

// table-source: qualified-name [ alias ] | ( query ) [ alias ] | ( table-reference ) | JSON_TABLE (...) [ alias ]
TableRefPtr Parser::tableSource() {
    auto ref = std::make_unique<TableRef>();
    if (peek().isOperator("(")) {
        advance();
        if (peek().isWord("SELECT") || peek().isWord("WITH") || peek().isOperator("(")) {
            ref->kind = TableRef::Derived;
            ref->query = query();
            expectOp(")", 907);
        } else {
            ref = tableReference();
            expectOp(")", 907);
            return ref;
        }
    } else if (peek().isWord("JSON_TABLE") && peek(1).isOperator("(")) {
        ref = jsonTable();
    } else {
        ref->kind = TableRef::Named;
        ref->name = qualifiedName(903);
    }
    tableAlias(*ref);
    return ref;
}

void Parser::tableAlias(TableRef &ref) {
    if ((peek().kind == TokenKind::Identifier && !isReservedWord(peek().text) && !endsAlias(peek()) &&
         !atRowLimit() && !atPivotClause()) ||
        peek().kind == TokenKind::QuotedIdentifier) {
        ref.aliasOffset = peek().offset;
        ref.alias = identifier();
    }
}

// order-list: expression [ ASC | DESC ] [ NULLS FIRST | NULLS LAST ] { , ... }
void Parser::orderBy(std::vector<OrderItem> &items) {
    do {
        OrderItem item;
        item.expr = expression();
        if (acceptWord("DESC"))
            item.descending = true;
        else
            acceptWord("ASC");
        if (acceptWord("NULLS")) {
            if (acceptWord("FIRST"))
                item.nulls = 1;
            else if (acceptWord("LAST"))
                item.nulls = 2;
            else
                fail(905);
        }
        items.push_back(std::move(item));
    } while (acceptOp(","));
}

}  // namespace localdb
