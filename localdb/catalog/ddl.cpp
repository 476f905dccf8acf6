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

}  // namespace localdb
