// DDL of users and roles, and GRANT / REVOKE of system privileges, roles and object privileges.
#include "localdb/system/connection.h"
#include "localdb/catalog/ddl_internal.h"
#include "localdb/system/errors.h"
#include "localdb/catalog/passwords.h"
#include "localdb/catalog/physical.h"

namespace localdb::ddl {
namespace {

bool roleExists(Connection &db, const std::string &name) {
    return db.queryInt("SELECT count(*) FROM kdb_users WHERE is_role = 1 AND username = " + quoteText(name)) > 0;
}

bool principalExists(Connection &db, const std::string &name) {
    return name == "PUBLIC" || db.queryInt("SELECT count(*) FROM kdb_users WHERE username = " + quoteText(name)) > 0;
}

void requireDba(NameResolver &names, int offset) {
    if (!names.catalog().isDba(names.user()))
        raise(1031, offset);
}

void dropUser(DropStmt &st, NameResolver &names) {
    Catalog &catalog = names.catalog();
    Connection &db = catalog.connection();
    const std::string user = st.name.last();
    requireDba(names, st.name.offset());
    if (st.objectType == "ROLE") {
        if (!roleExists(db, user))
            raise(1919, st.name.offset(), {user});
    } else if (!catalog.userExists(user)) {
        raise(1918, st.name.offset(), {user});
    }
    if (user == "SYS" || user == "SYSTEM" || user == names.user())
        raise(1940, st.name.offset());
    std::vector<std::pair<std::int64_t, std::string>> objects;
    {
        auto p = db.prepare("SELECT object_id, object_type FROM kdb_objects WHERE owner = ?1 ORDER BY object_id DESC");
        p.bind(1, user);
        while (p.step())
            objects.emplace_back(p.integer(0), p.text(1));
    }
    if (!objects.empty() && !st.cascade)
        raise(1922, st.name.offset(), {user});
    for (const auto &[id, type] : objects) {
        if (type != "TABLE")
            continue;
        for (const auto &fk : catalog.referencingConstraints(id))
            catalog.removeConstraint(fk.owner, fk.name);
    }
    for (const auto &[id, type] : objects) {
        if (type == "TABLE")
            dropTableObject(names, id);
        else if (type == "VIEW") {
            auto t = catalog.table(id);
            if (t)
                db.exec("DROP VIEW IF EXISTS " + t->physicalName());
            catalog.removeObject(id);
        } else if (type != "INDEX") {
            catalog.removeObject(id);
        }
    }
    for (const char *sql : {"DELETE FROM kdb_users WHERE username = ?1", "DELETE FROM kdb_sys_privs WHERE grantee = ?1",
                            "DELETE FROM kdb_role_privs WHERE grantee = ?1 OR granted_role = ?1",
                            "DELETE FROM kdb_tab_privs WHERE grantee = ?1 OR owner = ?1"}) {
        auto p = db.prepare(sql);
        p.bind(1, user);
        p.run();
    }
    syncTriggers(names);
}

}  // namespace

void userStatement(Statement &st, NameResolver &names) {
    Catalog &catalog = names.catalog();
    Connection &db = catalog.connection();
    if (st.kind == Statement::Drop)
        return dropUser(*st.drop, names);
    UserStmt &u = *st.user;
    if (st.kind == Statement::CreateUser || st.kind == Statement::CreateRole) {
        requireDba(names, u.nameOffset);
        if (principalExists(db, u.name))
            raise(st.kind == Statement::CreateRole ? 1921 : 1920, u.nameOffset, {u.name});
        auto p = db.prepare("INSERT INTO kdb_users(user_id, username, password_hash, account_status, created, is_role) "
                            "VALUES ((SELECT max(user_id) + 1 FROM kdb_users), ?1, ?2, ?3, ?4, ?5)");
        p.bind(1, u.name);
        if (u.hasPassword)
            p.bind(2, hashPassword(u.password));
        else
            p.bindNull(2);
        p.bind(3, u.lock ? "LOCKED" : "OPEN");
        p.bind(4, nowText());
        p.bind(5, st.kind == Statement::CreateRole ? 1 : 0);
        p.run();
        return;
    }
    // ALTER USER: a user may change his own password; everything else needs DBA.
    if (!catalog.userExists(u.name))
        raise(1918, u.nameOffset, {u.name});
    if (!(u.name == names.user() && u.hasPassword && !u.lock && !u.unlock))
        requireDba(names, u.nameOffset);
    if (u.hasPassword) {
        auto p = db.prepare("UPDATE kdb_users SET password_hash = ?2 WHERE username = ?1");
        bindAll(p, u.name, hashPassword(u.password));
        p.run();
    }
    if (u.lock || u.unlock) {
        auto p = db.prepare("UPDATE kdb_users SET account_status = ?2 WHERE username = ?1");
        bindAll(p, u.name, std::string(u.lock ? "LOCKED" : "OPEN"));
        p.run();
    }
}

void grant(GrantStmt &st, bool revoke, NameResolver &names) {
    Catalog &catalog = names.catalog();
    Connection &db = catalog.connection();
    for (const auto &g : st.grantees)
        if (!principalExists(db, g))
            raise(1917, st.object.offset(), {g});
    if (st.onObject) {
        auto r = names.find(st.object);
        if (!r)
            raise(942, st.object.offset());
        if (r->object.owner != names.user() && !catalog.isDba(names.user()))
            raise(1031, st.object.offset());
        std::vector<std::string> privileges;
        for (const auto &p : st.privileges) {
            if (p == "ALL")
                privileges.insert(privileges.end(), {"SELECT", "INSERT", "UPDATE", "DELETE", "ALTER", "INDEX", "REFERENCES"});
            else
                privileges.push_back(p);
        }
        for (const auto &grantee : st.grantees)
            for (const auto &p : privileges) {
                auto q = db.prepare(revoke ? "DELETE FROM kdb_tab_privs WHERE grantee = ?1 AND owner = ?2 AND "
                                             "table_name = ?3 AND privilege = ?4"
                                           : "INSERT OR REPLACE INTO kdb_tab_privs(grantee, owner, table_name, "
                                             "privilege, grantor, grantable) VALUES (?1, ?2, ?3, ?4, ?5, ?6)");
                bindAll(q, grantee, r->object.owner, r->object.name, p);
                if (!revoke)
                    q.bind(5, names.user()).bind(6, st.withOption ? "YES" : "NO");
                q.run();
            }
        catalog.touchObject(r->object.id);
        return;
    }
    requireDba(names, -1);
    for (const auto &grantee : st.grantees)
        for (const auto &p : st.privileges) {
            bool role = roleExists(db, p);
            std::string sql;
            if (role)
                sql = revoke ? "DELETE FROM kdb_role_privs WHERE grantee = ?1 AND granted_role = ?2"
                             : "INSERT OR REPLACE INTO kdb_role_privs(grantee, granted_role, admin_option) VALUES (?1, ?2, ?3)";
            else
                sql = revoke ? "DELETE FROM kdb_sys_privs WHERE grantee = ?1 AND privilege = ?2"
                             : "INSERT OR REPLACE INTO kdb_sys_privs(grantee, privilege, admin_option) VALUES (?1, ?2, ?3)";
            auto q = db.prepare(sql);
            bindAll(q, grantee, p);
            if (!revoke)
                q.bind(3, st.withOption ? "YES" : "NO");
            q.run();
        }
}

}  // namespace localdb::ddl
