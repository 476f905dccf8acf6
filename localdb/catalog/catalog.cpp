// The catalogue tables and their reads and writes.
#include "localdb/catalog/catalog.h"

#include "localdb/system/connection.h"
#include "localdb/catalog/dictionary.h"
#include "localdb/catalog/passwords.h"

#include <cstdio>
#include <ctime>

namespace localdb {

std::string quoteIdent(const std::string &name) {
    std::string out = "\"";
    for (char c : name) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + "\"";
}

std::string quoteText(const std::string &text) {
    std::string out = "'";
    for (char c : text) {
        if (c == '\'')
            out += '\'';
        out += c;
    }
    return out + "'";
}

std::string physicalName(const std::string &owner, const std::string &name) {
    return quoteIdent(owner + "." + name);
}

std::string TableInfo::physicalName() const { return localdb::physicalName(owner, name); }

int TableInfo::columnIndex(const std::string &column) const {
    for (size_t i = 0; i < columns.size(); ++i)
        if (columns[i].name == column)
            return int(i);
    return -1;
}

std::string nowText() {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &tm);
    return buf;
}

namespace {

// The catalogue's own tables. Names start with kdb_ so that they can never meet a schema object
// (those always contain a dot).
const char *const kCatalogueSql = R"SQL(
CREATE TABLE kdb_meta(key TEXT PRIMARY KEY, value);
CREATE TABLE kdb_users(user_id INTEGER PRIMARY KEY, username TEXT NOT NULL UNIQUE, password_hash TEXT,
  account_status TEXT NOT NULL DEFAULT 'OPEN', default_tablespace TEXT NOT NULL DEFAULT 'USERS',
  temporary_tablespace TEXT NOT NULL DEFAULT 'TEMP', created TEXT NOT NULL, is_role INTEGER NOT NULL DEFAULT 0);
CREATE TABLE kdb_objects(object_id INTEGER PRIMARY KEY, owner TEXT NOT NULL, object_name TEXT NOT NULL,
  object_type TEXT NOT NULL, namespace INTEGER NOT NULL, created TEXT NOT NULL, last_ddl_time TEXT NOT NULL,
  status TEXT NOT NULL DEFAULT 'VALID', generated TEXT NOT NULL DEFAULT 'N', temporary TEXT NOT NULL DEFAULT 'N',
  UNIQUE(owner, namespace, object_name));
CREATE TABLE kdb_columns(object_id INTEGER NOT NULL, column_id INTEGER NOT NULL, column_name TEXT NOT NULL,
  data_type TEXT NOT NULL, data_length INTEGER NOT NULL, data_precision INTEGER, data_scale INTEGER,
  char_used TEXT, nullable TEXT NOT NULL, data_default TEXT, PRIMARY KEY(object_id, column_id));
CREATE TABLE kdb_constraints(owner TEXT NOT NULL, constraint_name TEXT NOT NULL, constraint_type TEXT NOT NULL,
  table_id INTEGER NOT NULL, search_condition TEXT, r_owner TEXT, r_constraint_name TEXT, delete_rule TEXT,
  status TEXT NOT NULL DEFAULT 'ENABLED', generated TEXT NOT NULL, index_name TEXT, last_change TEXT,
  seq INTEGER NOT NULL, PRIMARY KEY(owner, constraint_name));
CREATE TABLE kdb_cons_columns(owner TEXT NOT NULL, constraint_name TEXT NOT NULL, column_name TEXT NOT NULL,
  position INTEGER);
CREATE TABLE kdb_indexes(object_id INTEGER PRIMARY KEY, table_id INTEGER NOT NULL, uniqueness TEXT NOT NULL);
CREATE TABLE kdb_ind_columns(index_id INTEGER NOT NULL, column_position INTEGER NOT NULL, column_name TEXT NOT NULL,
  descend TEXT NOT NULL, PRIMARY KEY(index_id, column_position));
CREATE TABLE kdb_comments(object_id INTEGER NOT NULL, column_name TEXT NOT NULL, comments TEXT,
  PRIMARY KEY(object_id, column_name));
CREATE TABLE kdb_views(object_id INTEGER PRIMARY KEY, text TEXT, read_only INTEGER NOT NULL DEFAULT 0,
  check_option INTEGER NOT NULL DEFAULT 0);
CREATE TABLE kdb_sequences(object_id INTEGER PRIMARY KEY, min_value, max_value, increment_by NOT NULL,
  cycle_flag TEXT NOT NULL, order_flag TEXT NOT NULL, cache_size INTEGER NOT NULL, last_number NOT NULL);
CREATE TABLE kdb_synonyms(object_id INTEGER PRIMARY KEY, table_owner TEXT, table_name TEXT NOT NULL, db_link TEXT);
CREATE TABLE kdb_sys_privs(grantee TEXT NOT NULL, privilege TEXT NOT NULL, admin_option TEXT NOT NULL DEFAULT 'NO',
  PRIMARY KEY(grantee, privilege));
CREATE TABLE kdb_role_privs(grantee TEXT NOT NULL, granted_role TEXT NOT NULL, admin_option TEXT NOT NULL DEFAULT 'NO',
  PRIMARY KEY(grantee, granted_role));
CREATE TABLE kdb_tab_privs(grantee TEXT NOT NULL, owner TEXT NOT NULL, table_name TEXT NOT NULL,
  privilege TEXT NOT NULL, grantor TEXT NOT NULL, grantable TEXT NOT NULL DEFAULT 'NO',
  PRIMARY KEY(grantee, owner, table_name, privilege));
CREATE INDEX kdb_objects_type ON kdb_objects(object_type, owner);
CREATE INDEX kdb_constraints_table ON kdb_constraints(table_id);
CREATE INDEX kdb_cons_columns_name ON kdb_cons_columns(owner, constraint_name);
)SQL";

}  // namespace

void Catalog::createSchema(Connection &db, const std::string &systemPassword) {
    db.exec(kCatalogueSql);
    const std::string now = nowText();
    auto addUser = db.prepare(
        "INSERT INTO kdb_users(user_id, username, password_hash, created, default_tablespace, is_role) "
        "VALUES (?1, ?2, ?3, ?4, ?5, ?6)");
    auto user = [&](int id, const char *name, const std::string &hash, const char *tablespace, int role) {
        if (hash.empty())
            bindAll(addUser, std::int64_t(id), std::string(name)).bindNull(3);
        else
            bindAll(addUser, std::int64_t(id), std::string(name), hash);
        addUser.bind(4, now).bind(5, tablespace).bind(6, role);
        addUser.run();
        addUser.reset();
    };
    user(0, "SYS", "", "SYSTEM", 0);
    user(1, "PUBLIC", "", "SYSTEM", 1);
    user(2, "CONNECT", "", "SYSTEM", 1);
    user(3, "RESOURCE", "", "SYSTEM", 1);
    user(4, "DBA", "", "SYSTEM", 1);
    user(5, "SYSTEM", hashPassword(systemPassword), "SYSTEM", 0);
    db.exec("INSERT INTO kdb_role_privs(grantee, granted_role, admin_option) VALUES "
            "('SYS','DBA','YES'), ('SYSTEM','DBA','YES');"
            "INSERT INTO kdb_sys_privs(grantee, privilege) VALUES ('CONNECT','CREATE SESSION'),"
            "('RESOURCE','CREATE TABLE'),('RESOURCE','CREATE SEQUENCE'),('RESOURCE','CREATE PROCEDURE'),"
            "('RESOURCE','CREATE TRIGGER');"
            "INSERT INTO kdb_meta(key, value) VALUES ('next_constraint', 1000), ('next_object', 100),"
            "('format', 1);");
    installDictionary(db);
}

std::optional<ObjectRef> Catalog::findObject(const std::string &owner, const std::string &name, int nameSpace) {
    auto p = db_.prepare("SELECT object_id, object_type FROM kdb_objects WHERE owner = ?1 AND object_name = ?2 "
                         "AND namespace = ?3");
    bindAll(p, owner, name, std::int64_t(nameSpace));
    if (!p.step())
        return std::nullopt;
    return ObjectRef{p.integer(0), owner, name, p.text(1)};
}

std::shared_ptr<const TableInfo> Catalog::table(std::int64_t objectId) {
    auto found = tables_.find(objectId);
    if (found != tables_.end())
        return found->second;
    auto info = std::make_shared<TableInfo>();
    auto obj = db_.prepare("SELECT owner, object_name, object_type FROM kdb_objects WHERE object_id = ?1");
    obj.bind(1, objectId);
    if (!obj.step())
        return nullptr;
    info->id = objectId;
    info->owner = obj.text(0);
    info->name = obj.text(1);
    info->objectType = obj.text(2);
    auto cols = db_.prepare("SELECT column_name, data_type, data_length, data_precision, data_scale, nullable, "
                            "data_default, char_used FROM kdb_columns WHERE object_id = ?1 ORDER BY column_id");
    cols.bind(1, objectId);
    while (cols.step()) {
        ColumnInfo c;
        c.name = cols.text(0);
        c.type.name = cols.text(1);
        c.type.length = int(cols.integer(2));
        c.type.precision = cols.isNull(3) ? TypeSpec::None : int(cols.integer(3));
        c.type.scale = cols.isNull(4) ? TypeSpec::None : int(cols.integer(4));
        c.nullable = cols.text(5) != "N";
        c.hasDefault = !cols.isNull(6);
        c.defaultText = cols.text(6);
        c.type.charSemantics = cols.text(7) == "C";
        info->columns.push_back(std::move(c));
    }
    auto extras = db_.prepare("SELECT column_name, identity, sequence_id, default_on_null, virtual, identity_start "
                              "FROM kdb_column_extras WHERE object_id = ?1");
    extras.bind(1, objectId);
    while (extras.step()) {
        int index = info->columnIndex(extras.text(0));
        if (index < 0)
            continue;
        ColumnInfo &c = info->columns[size_t(index)];
        c.identity = extras.text(1);
        c.identitySequence = extras.isNull(2) ? 0 : extras.integer(2);
        c.defaultOnNull = extras.text(3) == "Y";
        c.isVirtual = extras.text(4) == "Y";
        c.identityStart = extras.text(5);
    }
    if (info->isView()) {
        auto v = db_.prepare("SELECT text, read_only, check_option FROM kdb_views WHERE object_id = ?1");
        v.bind(1, objectId);
        if (v.step()) {
            info->viewText = v.text(0);
            info->readOnly = v.integer(1) != 0;
            info->checkOption = v.integer(2) != 0;
        }
    }
    tables_[objectId] = info;
    return info;
}

static ConstraintInfo readConstraint(Connection &db, Prepared &p) {
    ConstraintInfo c;
    c.owner = p.text(0);
    c.name = p.text(1);
    c.type = p.text(2).empty() ? 'C' : p.text(2)[0];
    c.tableId = p.integer(3);
    c.searchCondition = p.text(4);
    c.refOwner = p.text(5);
    c.refName = p.text(6);
    c.deleteRule = p.text(7);
    c.enabled = p.text(8) == "ENABLED";
    c.generated = p.text(9) == "GENERATED NAME";
    c.indexName = p.text(10);
    auto cols = db.prepare("SELECT column_name FROM kdb_cons_columns WHERE owner = ?1 AND constraint_name = ?2 "
                           "ORDER BY position, rowid");
    bindAll(cols, c.owner, c.name);
    while (cols.step())
        c.columns.push_back(cols.text(0));
    return c;
}

static const char *const kConstraintColumns =
    "SELECT owner, constraint_name, constraint_type, table_id, search_condition, r_owner, r_constraint_name, "
    "delete_rule, status, generated, index_name FROM kdb_constraints ";

std::vector<ConstraintInfo> Catalog::constraintsOf(std::int64_t tableId) {
    auto p = db_.prepare(std::string(kConstraintColumns) + "WHERE table_id = ?1 ORDER BY seq");
    p.bind(1, tableId);
    std::vector<ConstraintInfo> out;
    while (p.step())
        out.push_back(readConstraint(db_, p));
    return out;
}

std::optional<ConstraintInfo> Catalog::constraint(const std::string &owner, const std::string &name) {
    auto p = db_.prepare(std::string(kConstraintColumns) + "WHERE owner = ?1 AND constraint_name = ?2");
    bindAll(p, owner, name);
    if (!p.step())
        return std::nullopt;
    return readConstraint(db_, p);
}

std::vector<ConstraintInfo> Catalog::referencingConstraints(std::int64_t tableId) {
    auto p = db_.prepare(std::string(kConstraintColumns) +
                         "WHERE constraint_type = 'R' AND (r_owner, r_constraint_name) IN "
                         "(SELECT owner, constraint_name FROM kdb_constraints WHERE table_id = ?1) ORDER BY seq");
    p.bind(1, tableId);
    std::vector<ConstraintInfo> out;
    while (p.step())
        out.push_back(readConstraint(db_, p));
    return out;
}

bool Catalog::userExists(const std::string &name) {
    auto p = db_.prepare("SELECT 1 FROM kdb_users WHERE username = ?1 AND is_role = 0");
    p.bind(1, name);
    return p.step();
}

bool Catalog::isDba(const std::string &user) {
    auto p = db_.prepare("SELECT 1 FROM kdb_role_privs WHERE grantee = ?1 AND granted_role = 'DBA'");
    p.bind(1, user);
    return p.step();
}

bool Catalog::hasSystemPrivilege(const std::string &user, const std::string &privilege) {
    if (isDba(user))
        return true;
    auto p = db_.prepare("SELECT 1 FROM kdb_sys_privs WHERE privilege = ?2 AND (grantee = ?1 OR grantee = 'PUBLIC' "
                         "OR grantee IN (SELECT granted_role FROM kdb_role_privs WHERE grantee = ?1))");
    bindAll(p, user, privilege);
    return p.step();
}

bool Catalog::hasObjectPrivilege(const std::string &user, const std::string &owner, const std::string &object,
                                 const std::string &privilege) {
    if (user == owner || isDba(user))
        return true;
    auto p = db_.prepare("SELECT 1 FROM kdb_tab_privs WHERE owner = ?2 AND table_name = ?3 "
                         "AND privilege IN (?4, 'ALL') AND (grantee IN (?1, 'PUBLIC') OR grantee IN "
                         "(SELECT granted_role FROM kdb_role_privs WHERE grantee = ?1))");
    bindAll(p, user, owner, object, privilege);
    return p.step();
}

void Catalog::invalidate() { tables_.clear(); }

std::int64_t Catalog::addObject(const std::string &owner, const std::string &name, const std::string &type,
                                bool generatedName) {
    std::int64_t id = db_.queryInt("SELECT value FROM kdb_meta WHERE key = 'next_object'", 100);
    db_.exec("UPDATE kdb_meta SET value = value + 1 WHERE key = 'next_object'");
    int nameSpace = type == "INDEX" ? 4 : type == "PACKAGE BODY" ? 2 : 1;
    const std::string now = nowText();
    auto p = db_.prepare("INSERT INTO kdb_objects(object_id, owner, object_name, object_type, namespace, created, "
                         "last_ddl_time, generated) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?6, ?7)");
    bindAll(p, id, owner, name, type, std::int64_t(nameSpace), now, std::string(generatedName ? "Y" : "N"));
    p.run();
    return id;
}

void Catalog::touchObject(std::int64_t id) {
    auto p = db_.prepare("UPDATE kdb_objects SET last_ddl_time = ?2 WHERE object_id = ?1");
    bindAll(p, id, nowText());
    p.run();
    tables_.erase(id);
}

void Catalog::removeObject(std::int64_t id) {
    for (const char *sql : {
             "DELETE FROM kdb_cons_columns WHERE (owner, constraint_name) IN "
             "(SELECT owner, constraint_name FROM kdb_constraints WHERE table_id = ?1)",
             "DELETE FROM kdb_constraints WHERE table_id = ?1",
             "DELETE FROM kdb_ind_columns WHERE index_id = ?1",
             "DELETE FROM kdb_indexes WHERE object_id = ?1",
             "DELETE FROM kdb_columns WHERE object_id = ?1",
             "DELETE FROM kdb_column_extras WHERE object_id = ?1",
             "DELETE FROM kdb_comments WHERE object_id = ?1",
             "DELETE FROM kdb_views WHERE object_id = ?1",
             "DELETE FROM kdb_sequences WHERE object_id = ?1",
             "DELETE FROM kdb_synonyms WHERE object_id = ?1",
             "DELETE FROM kdb_objects WHERE object_id = ?1",
         }) {
        auto p = db_.prepare(sql);
        p.bind(1, id);
        p.run();
    }
    tables_.erase(id);
}

void Catalog::setColumns(std::int64_t tableId, const std::vector<ColumnInfo> &columns) {
    auto del = db_.prepare("DELETE FROM kdb_columns WHERE object_id = ?1");
    del.bind(1, tableId);
    del.run();
    auto p = db_.prepare("INSERT INTO kdb_columns(object_id, column_id, column_name, data_type, data_length, "
                         "data_precision, data_scale, char_used, nullable, data_default) "
                         "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)");
    int id = 0;
    for (const auto &c : columns) {
        bindAll(p, tableId, std::int64_t(++id), c.name, c.type.name, std::int64_t(c.type.length));
        if (c.type.precision == TypeSpec::None)
            p.bindNull(6);
        else
            p.bind(6, c.type.precision);
        if (c.type.scale == TypeSpec::None)
            p.bindNull(7);
        else
            p.bind(7, c.type.scale);
        BaseType base = baseTypeOf(c.type);
        if (base == BaseType::Text && c.type.name != "LONG" && c.type.name != "CLOB")
            p.bind(8, c.type.charSemantics ? "C" : "B");
        else
            p.bindNull(8);
        p.bind(9, c.nullable ? "Y" : "N");
        if (c.hasDefault)
            p.bind(10, c.defaultText);
        else
            p.bindNull(10);
        p.run();
        p.reset();
    }
    auto delExtras = db_.prepare("DELETE FROM kdb_column_extras WHERE object_id = ?1");
    delExtras.bind(1, tableId);
    delExtras.run();
    auto extras = db_.prepare("INSERT INTO kdb_column_extras(object_id, column_name, identity, sequence_id, "
                              "default_on_null, virtual, identity_start) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)");
    for (const auto &c : columns) {
        if (c.identity.empty() && !c.defaultOnNull && !c.isVirtual)
            continue;
        bindAll(extras, tableId, c.name, c.identity);
        if (c.identitySequence)
            extras.bind(4, c.identitySequence);
        else
            extras.bindNull(4);
        extras.bind(5, c.defaultOnNull ? "Y" : "N");
        extras.bind(6, c.isVirtual ? "Y" : "N");
        extras.bind(7, c.identityStart);
        extras.run();
        extras.reset();
    }
    tables_.erase(tableId);
}

std::string Catalog::newConstraintName() {
    std::int64_t n = db_.queryInt("SELECT value FROM kdb_meta WHERE key = 'next_constraint'", 1000);
    db_.exec("UPDATE kdb_meta SET value = value + 1 WHERE key = 'next_constraint'");
    char buf[32];
    std::snprintf(buf, sizeof buf, "SYS_C%06lld", (long long)n);
    return buf;
}

void Catalog::addConstraint(const ConstraintInfo &c) {
    auto p = db_.prepare(
        "INSERT INTO kdb_constraints(owner, constraint_name, constraint_type, table_id, search_condition, r_owner, "
        "r_constraint_name, delete_rule, status, generated, index_name, last_change, seq) VALUES (?1, ?2, ?3, ?4, "
        "?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, (SELECT coalesce(max(seq), 0) + 1 FROM kdb_constraints))");
    bindAll(p, c.owner, c.name, std::string(1, c.type), c.tableId);
    auto optional = [&](int i, const std::string &v) {
        if (v.empty())
            p.bindNull(i);
        else
            p.bind(i, v);
    };
    optional(5, c.searchCondition);
    optional(6, c.refOwner);
    optional(7, c.refName);
    optional(8, c.type == 'R' ? (c.deleteRule.empty() ? std::string("NO ACTION") : c.deleteRule) : std::string());
    p.bind(9, c.enabled ? "ENABLED" : "DISABLED");
    p.bind(10, c.generated ? "GENERATED NAME" : "USER NAME");
    optional(11, c.indexName);
    p.bind(12, nowText());
    p.run();
    auto col = db_.prepare("INSERT INTO kdb_cons_columns(owner, constraint_name, column_name, position) "
                           "VALUES (?1, ?2, ?3, ?4)");
    int pos = 0;
    for (const auto &name : c.columns) {
        bindAll(col, c.owner, c.name, name);
        if (c.type == 'C')
            col.bindNull(4);
        else
            col.bind(4, ++pos);
        col.run();
        col.reset();
    }
    tables_.erase(c.tableId);
}

void Catalog::removeConstraint(const std::string &owner, const std::string &name) {
    for (const char *sql : {"DELETE FROM kdb_cons_columns WHERE owner = ?1 AND constraint_name = ?2",
                            "DELETE FROM kdb_constraints WHERE owner = ?1 AND constraint_name = ?2"}) {
        auto p = db_.prepare(sql);
        bindAll(p, owner, name);
        p.run();
    }
    tables_.clear();
}

void Catalog::setConstraintEnabled(const std::string &owner, const std::string &name, bool enabled) {
    auto p = db_.prepare("UPDATE kdb_constraints SET status = ?3, last_change = ?4 WHERE owner = ?1 AND "
                         "constraint_name = ?2");
    bindAll(p, owner, name, std::string(enabled ? "ENABLED" : "DISABLED"), nowText());
    p.run();
    tables_.clear();
}

void Catalog::addIndex(std::int64_t indexId, std::int64_t tableId, bool unique, const std::vector<std::string> &columns,
                       const std::vector<bool> &descending) {
    auto p = db_.prepare("INSERT INTO kdb_indexes(object_id, table_id, uniqueness) VALUES (?1, ?2, ?3)");
    bindAll(p, indexId, tableId, std::string(unique ? "UNIQUE" : "NONUNIQUE"));
    p.run();
    auto c = db_.prepare("INSERT INTO kdb_ind_columns(index_id, column_position, column_name, descend) "
                         "VALUES (?1, ?2, ?3, ?4)");
    for (size_t i = 0; i < columns.size(); ++i) {
        bool desc = i < descending.size() && descending[i];
        bindAll(c, indexId, std::int64_t(i + 1), columns[i], std::string(desc ? "DESC" : "ASC"));
        c.run();
        c.reset();
    }
}

void Catalog::setComment(std::int64_t objectId, const std::string &column, const std::string &text) {
    auto p = db_.prepare("INSERT OR REPLACE INTO kdb_comments(object_id, column_name, comments) VALUES (?1, ?2, ?3)");
    bindAll(p, objectId, column);
    if (text.empty())
        p.bindNull(3);
    else
        p.bind(3, text);
    p.run();
}

}  // namespace localdb
