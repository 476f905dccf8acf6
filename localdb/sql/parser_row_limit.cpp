// Parser: the row limiting clause after ORDER BY.
#include "localdb/sql/parser.h"

#include "localdb/system/errors.h"

namespace localdb {

// OFFSET and FETCH are not reserved: they start the clause only when followed by what the clause
// needs (a count or FIRST / NEXT), and otherwise may still name a table alias.
bool Parser::atRowLimit() const {
    if (peek().isWord("FETCH"))
        return peek(1).isWord("FIRST") || peek(1).isWord("NEXT");
    if (peek().isWord("OFFSET")) {
        const Token &n = peek(1);
        return n.kind == TokenKind::Number || n.kind == TokenKind::Bind || n.isOperator("(") || n.isOperator("-") ||
               n.isOperator("+") || n.isWord("NULL");
    }
    return false;
}

// row-limit: [ OFFSET expression ( ROW | ROWS ) ]
//            [ FETCH ( FIRST | NEXT ) [ expression [ PERCENT ] ] ( ROW | ROWS ) ( ONLY | WITH TIES ) ]
std::unique_ptr<RowLimit> Parser::rowLimit() {
    auto limit = std::make_unique<RowLimit>();
    if (acceptWord("OFFSET")) {
        limit->offset = additive();
        if (!acceptWord("ROWS") && !acceptWord("ROW"))
            fail(905);
    }
    if (acceptWord("FETCH")) {
        if (!acceptWord("FIRST") && !acceptWord("NEXT"))
            fail(905);
        if (!peek().isWord("ROW") && !peek().isWord("ROWS")) {
            limit->count = additive();
            limit->percent = acceptWord("PERCENT");
        } else {
            // FETCH FIRST ROW ONLY: one row.
            limit->count = makeExpr(ExprKind::Number, peek().offset);
            limit->count->text = "1";
        }
        if (!acceptWord("ROWS") && !acceptWord("ROW"))
            fail(905);
        if (acceptWord("WITH")) {
            expectWord("TIES", 905);
            limit->withTies = true;
        } else {
            expectWord("ONLY", 905);
        }
    }
    return limit;
}

}  // namespace localdb
