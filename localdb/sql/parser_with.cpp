// Parser: the SEARCH and CYCLE clauses of a recursive WITH element.
#include "localdb/sql/parser.h"

#include "localdb/system/errors.h"

namespace localdb {

// [ SEARCH ( DEPTH | BREADTH ) FIRST BY column [ ASC ] { , column [ ASC ] } SET column ]
// [ CYCLE column { , column } SET column TO 'value' DEFAULT 'value' ]
void Parser::searchAndCycle(Query &q) {
    if (acceptWord("SEARCH")) {
        if (!peek().isWord("DEPTH") && !peek().isWord("BREADTH"))
            fail(905);
        q.searchKind = advance().text;
        expectWord("FIRST", 905);
        expectWord("BY", 924);
        do {
            q.searchBy.push_back(identifier());
            acceptWord("ASC");
        } while (acceptOp(","));
        expectWord("SET", 905);
        q.searchColumn = identifier();
    }
    if (peek().isWord("CYCLE")) {
        q.cycleOffset = advance().offset;
        do
            q.cycleColumns.push_back(identifier());
        while (acceptOp(","));
        expectWord("SET", 905);
        q.cycleMark = identifier();
        expectWord("TO", 905);
        if (peek().kind != TokenKind::String)
            fail(936);
        q.cycleValue = advance().text;
        expectWord("DEFAULT", 905);
        if (peek().kind != TokenKind::String)
            fail(936);
        q.cycleDefault = advance().text;
    }
}

}  // namespace localdb
