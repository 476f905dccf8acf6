// Parser: the JSON functions and the IS JSON condition. Their clauses become trailing text
// arguments of a plain call, so that the binder and emitters treat them like any function:
//   x IS [NOT] JSON [STRICT|LAX] [WITH|WITHOUT UNIQUE KEYS]     "IS JSON"(x, syntax, unique)
//   JSON_VALUE(doc, path [RETURNING type] [on-error] [on-empty]) JSON_VALUE(doc, path, type, err, default, empty, default)
//   JSON_QUERY(doc, path [RETURNING type] [wrapper] [on-error] [on-empty])
//   JSON_EXISTS(doc, path [on-error])
//   JSON_OBJECT([KEY] k VALUE v [FORMAT JSON], ... [NULL|ABSENT ON NULL] [RETURNING type])
//   JSON_ARRAY(v [FORMAT JSON], ... [NULL|ABSENT ON NULL] [RETURNING type])
//   JSON_OBJECTAGG([KEY] k VALUE v [NULL|ABSENT ON NULL]), JSON_ARRAYAGG(v [ORDER BY ...] [on-null])
// JSON_VALUE returning a number or a date is named "JSON_VALUE NUMBER" / "JSON_VALUE DATE", which
// no statement can spell, so the binder gives the call that result type.
#include "localdb/sql/parser.h"

#include "localdb/system/errors.h"
#include "localdb/functions/json_document.h"

namespace localdb {
namespace {

ExprPtr textArgument(std::string text, int offset) {
    auto e = makeExpr(text.empty() ? ExprKind::Null : ExprKind::String, offset);
    e->text = std::move(text);
    return e;
}

ExprPtr nullArgument(int offset) { return makeExpr(ExprKind::Null, offset); }

}  // namespace

bool isJsonFunctionName(std::string_view name) {
    return name == "JSON_VALUE" || name == "JSON_QUERY" || name == "JSON_EXISTS" || name == "JSON_OBJECT" ||
           name == "JSON_ARRAY" || name == "JSON_OBJECTAGG" || name == "JSON_ARRAYAGG";
}

ExprPtr Parser::isJsonCondition(ExprPtr subject, bool negated) {
    auto e = makeExpr(ExprKind::Function, subject->offset);
    e->op = "IS JSON";
    e->name.parts = {"IS JSON"};
    e->name.offsets = {subject->offset};
    std::string syntax = "LAX";
    if (acceptWord("STRICT"))
        syntax = "STRICT";
    else
        acceptWord("LAX");
    std::string unique;
    if (peek().isWord("WITH") || peek().isWord("WITHOUT")) {
        bool with = advance().text == "WITH";
        expectWord("UNIQUE", 905);
        expectWord("KEYS", 905);
        if (with)
            unique = "UNIQUE";
    }
    e->args.push_back(std::move(subject));
    e->args.push_back(textArgument(syntax, e->offset));
    e->args.push_back(textArgument(unique, e->offset));
    e->endOffset = lastEnd();
    if (!negated)
        return e;
    auto n = makeExpr(ExprKind::Unary, e->offset);
    n->op = "NOT";
    n->endOffset = e->endOffset;
    n->args.push_back(std::move(e));
    return n;
}

// [ ERROR | NULL | DEFAULT literal | EMPTY [ARRAY|OBJECT] | TRUE | FALSE ] ON (ERROR|EMPTY|NULL):
// reads one such clause when the next words start one; false otherwise.
bool Parser::jsonBehaviour(std::string &mode, ExprPtr &defaultValue, std::string &target) {
    const Token &t = peek();
    if (!(t.isWord("ERROR") || t.isWord("NULL") || t.isWord("DEFAULT") || t.isWord("EMPTY") || t.isWord("TRUE") ||
          t.isWord("FALSE") || t.isWord("ABSENT")))
        return false;
    if (!(peek(1).isWord("ON") || t.isWord("DEFAULT") || t.isWord("EMPTY")))
        return false;
    mode = advance().text;
    if (mode == "DEFAULT") {
        defaultValue = unary();
    } else if (mode == "EMPTY") {
        if (acceptWord("ARRAY"))
            mode = "EMPTY ARRAY";
        else if (acceptWord("OBJECT"))
            mode = "EMPTY OBJECT";
    }
    expectWord("ON", 905);
    if (!(peek().isWord("ERROR") || peek().isWord("EMPTY") || peek().isWord("NULL")))
        fail(905);
    target = advance().text;
    return true;
}

// The document and path arguments shared by JSON_VALUE, JSON_QUERY and JSON_EXISTS.
void Parser::jsonDocumentAndPath(Expr &e) {
    e.args.push_back(expression());
    if (acceptWord("FORMAT"))
        expectWord("JSON", 905);
    expectOp(",", 917);
    if (peek().kind != TokenKind::String)
        raise(40454, peek().offset);
    e.args.push_back(textArgument(advance().text, lastEnd()));
}

std::string Parser::jsonReturning() {
    if (!acceptWord("RETURNING"))
        return {};
    return dataType().name;
}

ExprPtr Parser::jsonFunction(ExprPtr e) {
    const std::string name = e->op;
    const int off = e->offset;
    if (name == "JSON_VALUE" || name == "JSON_QUERY" || name == "JSON_EXISTS") {
        jsonDocumentAndPath(*e);
        std::string returning = jsonReturning();
        std::string wrapper;
        for (;;) {
            if (acceptWord("TRUNCATE") || acceptWord("PRETTY") || acceptWord("ASCII"))
                continue;
            if (peek().isWord("WITH") && !peek(1).isWord("UNIQUE")) {
                advance();
                wrapper = "UNCONDITIONAL";
                if (acceptWord("CONDITIONAL"))
                    wrapper = "CONDITIONAL";
                else
                    acceptWord("UNCONDITIONAL");
                acceptWord("ARRAY");
                expectWord("WRAPPER", 905);
                continue;
            }
            if (acceptWord("WITHOUT")) {
                acceptWord("ARRAY");
                expectWord("WRAPPER", 905);
                continue;
            }
            break;
        }
        std::string onError, onEmpty;
        ExprPtr errorDefault, emptyDefault;
        for (int clauses = 0; clauses < 2; ++clauses) {
            std::string mode, target;
            ExprPtr value;
            if (!jsonBehaviour(mode, value, target))
                break;
            if (target == "ERROR") {
                onError = mode;
                errorDefault = std::move(value);
            } else {
                onEmpty = mode;
                emptyDefault = std::move(value);
            }
        }
        if (name == "JSON_VALUE") {
            if (returning == "NUMBER" || returning == "FLOAT" || returning == "BINARY_DOUBLE" ||
                returning == "BINARY_FLOAT")
                e->op = "JSON_VALUE NUMBER";
            else if (returning == "DATE" || returning.rfind("TIMESTAMP", 0) == 0)
                e->op = "JSON_VALUE DATE";
            e->args.push_back(textArgument(returning, off));
            e->args.push_back(textArgument(onError, off));
            e->args.push_back(errorDefault ? std::move(errorDefault) : nullArgument(off));
            e->args.push_back(textArgument(onEmpty, off));
            e->args.push_back(emptyDefault ? std::move(emptyDefault) : nullArgument(off));
        } else if (name == "JSON_QUERY") {
            e->args.push_back(textArgument(wrapper, off));
            e->args.push_back(textArgument(onError, off));
            e->args.push_back(textArgument(onEmpty, off));
        } else {
            e->args.push_back(textArgument(onError, off));
        }
    } else {
        // Generation: members or values, then the ON NULL clause and RETURNING.
        std::vector<ExprPtr> items;
        bool object = name == "JSON_OBJECT" || name == "JSON_OBJECTAGG";
        std::vector<OrderItem> order;
        std::string onNull = object ? "NULL" : "ABSENT";
        auto formatted = [&](ExprPtr value) {
            if (!acceptWord("FORMAT"))
                return value;
            expectWord("JSON", 905);
            auto f = makeExpr(ExprKind::Function, value->offset);
            f->op = "FORMAT JSON";
            f->name.parts = {"FORMAT JSON"};
            f->name.offsets = {value->offset};
            f->endOffset = lastEnd();
            f->args.push_back(std::move(value));
            return f;
        };
        while (!peek().isOperator(")") && !((peek().isWord("NULL") || peek().isWord("ABSENT")) && peek(1).isWord("ON")) &&
               !peek().isWord("RETURNING")) {
            if (object) {
                if (peek().isWord("KEY") && !peek(1).isWord("VALUE") && !peek(1).isOperator(","))
                    advance();
                items.push_back(additive());
                if (!acceptOp(":"))
                    expectWord("VALUE", 905);
            }
            items.push_back(formatted(expression()));
            if (name == "JSON_ARRAYAGG" && acceptWord("ORDER")) {
                expectWord("BY", 905);
                orderBy(order);
            }
            if (!acceptOp(","))
                break;
        }
        if ((peek().isWord("NULL") || peek().isWord("ABSENT")) && peek(1).isWord("ON")) {
            onNull = advance().text;
            advance();
            expectWord("NULL", 908);
        }
        jsonReturning();
        acceptWord("STRICT");
        if (acceptWord("WITH")) {
            expectWord("UNIQUE", 905);
            expectWord("KEYS", 905);
        }
        if (name == "JSON_OBJECTAGG" || name == "JSON_ARRAYAGG") {
            if (items.size() != (object ? 2u : 1u))
                raise(909, off);
            for (auto &item : items)
                e->args.push_back(std::move(item));
            e->args.push_back(textArgument(onNull, off));
            for (auto &o : order) {
                e->args.push_back(std::move(o.expr));
                std::string direction = o.descending ? "D" : "A";
                if (o.nulls)
                    direction += o.nulls == 1 ? "F" : "L";
                e->args.push_back(textArgument(direction, off));
            }
        } else {
            e->args.push_back(textArgument(onNull, off));
            for (auto &item : items)
                e->args.push_back(std::move(item));
        }
    }
    expectOp(")", 907);
    e->endOffset = lastEnd();
    return e;
}

// JSON_TABLE ( expr [FORMAT JSON] [, path] [on-error] COLUMNS ( column { , column } ) ) [alias]
// column: name FOR ORDINALITY
//       | name [datatype] [FORMAT JSON] [EXISTS] [PATH path] [wrapper] [on-error] [on-empty]
//       | NESTED [PATH] path COLUMNS ( column { , column } )
// The rows are described to the table function as a JSON text:
//   {"p": row path, "c": [{"k": "o"|"v"|"e"|"q"|"n", "p": path, "t": "N"|"T"|"D", "i": index,
//                          "ci": 1 when the path is the column name, "c": [...] for "n"}]}
TableRefPtr Parser::jsonTable() {
    auto ref = std::make_unique<TableRef>();
    ref->kind = TableRef::TableFunction;
    ref->functionName = "kdb_json_table";
    advance();
    expectOp("(", 906);
    ref->functionArgument = expression();
    if (acceptWord("FORMAT"))
        expectWord("JSON", 905);
    std::string path = "$";
    if (acceptOp(",")) {
        if (peek().kind != TokenKind::String)
            raise(40454, peek().offset);
        path = advance().text;
    }
    std::string mode, target;
    ExprPtr ignored;
    while (jsonBehaviour(mode, ignored, target)) {
    }
    std::string spec = "{\"p\":";
    functions::appendJsonString(spec, path);
    spec += ",\"c\":" + jsonTableColumns(ref->functionColumns) + "}";
    ref->functionSpec = std::move(spec);
    expectOp(")", 907);
    return ref;
}

std::string Parser::jsonTableColumns(std::vector<OutputColumn> &columns) {
    expectWord("COLUMNS", 905);
    expectOp("(", 906);
    std::string list = "[";
    do {
        if (list.size() > 1)
            list += ',';
        if (acceptWord("NESTED")) {
            acceptWord("PATH");
            if (peek().kind != TokenKind::String)
                raise(40454, peek().offset);
            list += "{\"k\":\"n\",\"p\":";
            functions::appendJsonString(list, advance().text);
            list += ",\"c\":" + jsonTableColumns(columns) + "}";
            continue;
        }
        const int nameOffset = peek().offset;
        OutputColumn column;
        column.name = identifier();
        for (const auto &c : columns)
            if (c.name == column.name)
                raise(957, nameOffset);
        std::string item = "{\"i\":" + std::to_string(columns.size());
        if (acceptWord("FOR")) {
            expectWord("ORDINALITY", 905);
            column.type = Type::number();
            columns.push_back(column);
            list += item + ",\"k\":\"o\"}";
            continue;
        }
        TypeSpec spec;
        spec.name = "VARCHAR2";
        spec.length = 4000;
        if (!(peek().isWord("PATH") || peek().isWord("EXISTS") || peek().isWord("FORMAT") || peek().isOperator(",") ||
              peek().isOperator(")")))
            spec = dataType();
        column.type = Type::of(spec);
        char kind = 'v';
        if (acceptWord("FORMAT")) {
            expectWord("JSON", 905);
            kind = 'q';
        }
        if (acceptWord("EXISTS"))
            kind = 'e';
        std::string columnPath = "$." + column.name;
        bool byName = true;
        if (acceptWord("PATH")) {
            if (peek().kind != TokenKind::String)
                raise(40454, peek().offset);
            columnPath = advance().text;
            byName = false;
        }
        for (;;) {
            if (peek().isWord("WITH") || peek().isWord("WITHOUT")) {
                advance();
                acceptWord("CONDITIONAL") || acceptWord("UNCONDITIONAL");
                acceptWord("ARRAY");
                expectWord("WRAPPER", 905);
                continue;
            }
            std::string m, t;
            ExprPtr d;
            if (!jsonBehaviour(m, d, t))
                break;
        }
        const BaseType base = column.type.base;
        item += std::string(",\"k\":\"") + kind + "\",\"t\":\"" +
                (base == BaseType::Number ? "N" : base == BaseType::Date ? "D" : "T") + "\",\"p\":";
        functions::appendJsonString(item, columnPath);
        list += item + (byName ? ",\"ci\":1}" : "}");
        columns.push_back(column);
    } while (acceptOp(","));
    expectOp(")", 907);
    return list + "]";
}

}  // namespace localdb
