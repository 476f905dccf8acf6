// The Oracle keyword list of the SQL editors (data only).
#include "syntax/oracle_reserved_words.h"

namespace syntax {

const std::vector<std::string> &OracleReservedWords()
{
    static const std::vector<std::string> words{
        "access", "add", "all", "alter", "and", "any", "as", "asc", "audit", "begin", "between",
        "binary_integer", "blob", "body", "boolean", "by", "case", "char", "check", "clob",
        "close", "cluster", "column", "comment", "commit", "compress", "connect", "constant",
        "constraint", "create", "current", "cursor", "date", "decimal", "declare", "default",
        "delete", "desc", "distinct", "drop", "else", "elsif", "end", "exception", "exclusive",
        "execute", "exists", "exit", "fetch", "file", "float", "for", "foreign", "from",
        "function", "goto", "grant", "group", "having", "identified", "if", "immediate", "in",
        "increment", "index", "initial", "insert", "integer", "intersect", "into", "is", "join",
        "key", "level", "like", "lock", "long", "loop", "maxextents", "merge", "minus", "mlslabel",
        "mode", "modify", "noaudit", "nocompress", "not", "nowait", "null", "number", "of",
        "offline", "on", "online", "open", "option", "or", "order", "others", "out", "package",
        "pctfree", "pls_integer", "pragma", "primary", "prior", "privileges", "procedure",
        "public", "raise", "raw", "record", "references", "rename", "replace", "resource",
        "return", "returning", "revoke", "rollback", "row", "rowid", "rownum", "rows",
        "savepoint", "select", "sequence", "session", "set", "share", "size", "smallint",
        "start", "successful", "synonym", "sysdate", "table", "then", "to", "trigger",
        "truncate", "type", "uid", "union", "unique", "update", "user", "using", "validate",
        "values", "varchar", "varchar2", "view", "when", "whenever", "where", "while", "with",
        "work",
    };
    return words;
}

} // namespace syntax
