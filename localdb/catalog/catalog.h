// The engine's catalogue: its own tables inside each database file (users, objects, columns with
// Oracle types, constraints, indexes, comments, sequences, synonyms, grants), read by the binder
// to resolve names and updated by every DDL statement. The dictionary views are built over it.
//
// Storage of schema objects: the table or view OWNER.NAME is the SQLite table or view whose name
// is the text "OWNER.NAME" (always quoted in emitted SQL, e.g. "SCOTT"."EMP" becomes "SCOTT.EMP");
// its columns keep their Oracle names. An index is the SQLite index "OWNER.INDEX_NAME". SQLite
// columns carry no declared type, so SQLite never converts a value behind the engine's back.
#pragma once

#include "localdb/sql/types.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;

namespace localdb {

class Connection;

struct ColumnInfo {
    std::string name;
    TypeSpec type;
    bool nullable = true;
    std::string defaultText;  // as written; empty when none
    bool hasDefault = false;
    // Column options of recent releases, kept in kdb_column_extras:
    std::string identity;               // "ALWAYS" or "BY DEFAULT" for an identity column
    std::int64_t identitySequence = 0;  // the system sequence ISEQ$$_n giving its values
    std::string identityStart;          // its START WITH, as the dictionary shows it
    bool defaultOnNull = false;         // an explicit NULL takes the default
    bool isVirtual = false;             // computed from defaultText, never written
};

struct TableInfo {
    std::int64_t id = 0;
    std::string owner, name;
    std::string objectType;  // TABLE or VIEW
    std::vector<ColumnInfo> columns;
    bool readOnly = false;    // view WITH READ ONLY
    bool checkOption = false; // view WITH CHECK OPTION
    std::string viewText;

    std::string physicalName() const;  // quoted SQLite name: "OWNER.NAME"
    int columnIndex(const std::string &column) const;  // -1 when absent
    bool isView() const { return objectType == "VIEW"; }
};

struct ConstraintInfo {
    std::string owner, name;
    char type = 'C';
    std::int64_t tableId = 0;
    std::vector<std::string> columns;
    std::string searchCondition;
    std::string refOwner, refName;  // referenced constraint
    std::string deleteRule;
    bool enabled = true;
    bool generated = false;
    std::string indexName;
};

struct ObjectRef {
    std::int64_t id = 0;
    std::string owner, name, type;  // type: TABLE, VIEW, SEQUENCE, SYNONYM, INDEX, ...
};

// Quotes an SQLite identifier: "a""b".
std::string quoteIdent(const std::string &name);
// Quotes an SQL text literal: 'it''s'.
std::string quoteText(const std::string &text);
// The physical name of a schema object: quoteIdent(owner + "." + name).
std::string physicalName(const std::string &owner, const std::string &name);

class Catalog {
public:
    explicit Catalog(Connection &connection) : db_(connection) {}

    // Creates the catalogue tables, the SYS objects (DUAL and the dictionary views) and the
    // users SYS and SYSTEM in an empty database.
    static void createSchema(Connection &connection, const std::string &systemPassword);

    // --- Lookups (cached until invalidate()) ---
    std::optional<ObjectRef> findObject(const std::string &owner, const std::string &name, int nameSpace = 1);
    std::shared_ptr<const TableInfo> table(std::int64_t objectId);
    std::vector<ConstraintInfo> constraintsOf(std::int64_t tableId);
    std::optional<ConstraintInfo> constraint(const std::string &owner, const std::string &name);
    std::vector<ConstraintInfo> referencingConstraints(std::int64_t tableId);  // FKs pointing at it
    bool userExists(const std::string &name);
    bool isDba(const std::string &user);
    bool hasSystemPrivilege(const std::string &user, const std::string &privilege);
    bool hasObjectPrivilege(const std::string &user, const std::string &owner, const std::string &object,
                            const std::string &privilege);
    void invalidate();

    // --- Updates made by DDL ---
    std::int64_t addObject(const std::string &owner, const std::string &name, const std::string &type,
                           bool generatedName = false);
    void touchObject(std::int64_t id);  // LAST_DDL_TIME
    void removeObject(std::int64_t id);  // with its columns, comments, constraints, indexes ...
    void setColumns(std::int64_t tableId, const std::vector<ColumnInfo> &columns);
    std::string newConstraintName();  // SYS_C000123
    void addConstraint(const ConstraintInfo &c);
    void removeConstraint(const std::string &owner, const std::string &name);
    void setConstraintEnabled(const std::string &owner, const std::string &name, bool enabled);
    void addIndex(std::int64_t indexId, std::int64_t tableId, bool unique, const std::vector<std::string> &columns,
                  const std::vector<bool> &descending);
    void setComment(std::int64_t objectId, const std::string &column, const std::string &text);

    Connection &connection() { return db_; }

private:
    Connection &db_;
    std::map<std::int64_t, std::shared_ptr<const TableInfo>> tables_;
};

// The current time as catalogue text 'YYYY-MM-DD HH:MM:SS'.
std::string nowText();

}  // namespace localdb
