// DDL dispatch and the helpers shared by the DDL units.
#include "localdb/catalog/ddl.h"

#include "localdb/system/connection.h"
#include "localdb/catalog/ddl_internal.h"
#include "localdb/system/errors.h"
#include "localdb/catalog/physical.h"

namespace localdb {

namespace ddl {

std::pair<std::string, std::string> creationTarget(NameResolver &names, const Name &name) {
    auto target = names.target(name);
    Catalog &catalog = names.catalog();
    if (target.first != names.user()) {
        if (!catalog.userExists(target.first))
            raise(1918, name.offset(), {target.first});
        if (!catalog.isDba(names.user()))
            raise(1031, name.offset());
    }
    return target;
}

void checkNameFree(Catalog &catalog, const std::string &owner, const std::string &name, int offset) {
    if (catalog.findObject(owner, name))
        raise(955, offset);
}

std::shared_ptr<const TableInfo> ownTable(NameResolver &names, const Name &name) {
    auto [owner, table] = names.target(name);
    auto obj = names.catalog().findObject(owner, table);
    if (!obj || obj->type != "TABLE")
        raise(942, name.offset());
    if (owner != names.user() && !names.catalog().isDba(names.user()))
        raise(names.mayAccess(*obj, "SELECT") ? 1031 : 942, name.offset());
    if (owner == "SYS")
        raise(1031, name.offset());
    return names.catalog().table(obj->id);
}

ColumnInfo columnInfo(const ColumnDef &def) {
    ColumnInfo c;
    c.name = def.name;
    c.type = def.type;
    c.hasDefault = def.hasDefault;
    c.defaultText = def.defaultText;
    c.nullable = true;
    c.identity = def.identity;
    c.defaultOnNull = def.defaultOnNull;
    c.isVirtual = def.isVirtual;
    if (c.isVirtual)
        c.hasDefault = true;  // the expression is kept where a default is
    if (!def.hasType && c.isVirtual)
        c.type = TypeSpec{};  // a virtual column without a type takes NUMBER
    return c;
}

}  // namespace ddl

void executeDdl(Statement &st, const std::string &sql, SessionCore &core, NameResolver &names) {
    using namespace ddl;
    switch (st.kind) {
    case Statement::CreateTable:
        createTable(st, sql, core, names);
        break;
    case Statement::AlterTable:
        alterTable(*st.alterTable, core, names);
        break;
    case Statement::CreateIndex:
        createIndex(*st.createIndex, names);
        break;
    case Statement::CreateView:
        createView(*st.createView, names);
        break;
    case Statement::CreateSequence:
        createSequence(*st.createSequence, names, false, core);
        break;
    case Statement::AlterSequence:
        createSequence(*st.createSequence, names, true, core);
        break;
    case Statement::CreateSynonym:
        createSynonym(*st.createSynonym, names);
        break;
    case Statement::Drop:
        dropObject(*st.drop, names, core);
        break;
    case Statement::Truncate:
        truncateTable(st.renameFrom, names);
        break;
    case Statement::Rename:
        rename(st.renameFrom, st.renameTo, names);
        break;
    case Statement::Comment:
        comment(*st.comment, names);
        break;
    case Statement::CreateUser:
    case Statement::AlterUser:
    case Statement::CreateRole:
        userStatement(st, names);
        break;
    case Statement::Grant:
    case Statement::Revoke:
        grant(*st.grant, st.kind == Statement::Revoke, names);
        break;
    default:
        break;
    }
    names.catalog().invalidate();
}

std::optional<std::set<std::string>> objectsChangedBy(const Statement &st, NameResolver &names) {
    std::set<std::string> out;
    bool known = true;
    auto add = [&](const Name &n) {
        if (n.parts.empty()) {
            known = false;
            return;
        }
        auto [owner, name] = names.target(n);
        out.insert(objectKey(owner, name));
    };
    switch (st.kind) {
    case Statement::CreateTable:
        add(st.createTable->table);
        break;
    case Statement::AlterTable:
        add(st.alterTable->table);
        if (st.alterTable->action == AlterTableStmt::RenameTable && !st.alterTable->names.empty() &&
            !st.alterTable->table.parts.empty())
            out.insert(objectKey(names.target(st.alterTable->table).first, st.alterTable->names[0]));
        break;
    case Statement::CreateIndex:
        add(st.createIndex->table);
        add(st.createIndex->index);
        break;
    case Statement::CreateView:
        add(st.createView->view);
        break;
    case Statement::CreateSequence:
    case Statement::AlterSequence:
        add(st.createSequence->sequence);
        break;
    case Statement::CreateSynonym:
        if (st.createSynonym->isPublic && !st.createSynonym->synonym.parts.empty())
            out.insert(objectKey("PUBLIC", st.createSynonym->synonym.last()));
        else
            add(st.createSynonym->synonym);
        break;
    case Statement::Drop:
        if (st.drop->objectType == "USER" || st.drop->objectType == "ROLE")
            return std::nullopt;
        if (st.drop->isPublic && !st.drop->name.parts.empty())
            out.insert(objectKey("PUBLIC", st.drop->name.last()));
        else
            add(st.drop->name);
        break;
    case Statement::Truncate:
        add(st.renameFrom);
        break;
    case Statement::Rename:
        add(st.renameFrom);
        add(st.renameTo);
        break;
    case Statement::Comment: {
        Name table = st.comment->target;
        if (st.comment->onColumn && table.parts.size() > 1) {
            table.parts.pop_back();
            table.offsets.pop_back();
        }
        add(table);
        break;
    }
    case Statement::CreateUser:
    case Statement::CreateRole:
        break;  // nothing could name them before
    case Statement::Grant:
    case Statement::Revoke:
        if (!st.grant->onObject)
            return std::nullopt;
        add(st.grant->object);
        // The privilege is on the object a synonym leads to, which is what statements record.
        if (auto found = names.find(st.grant->object))
            out.insert(objectKey(found->object.owner, found->object.name));
        break;
    default:
        return std::nullopt;
    }
    if (!known)
        return std::nullopt;
    return out;
}

}  // namespace localdb
