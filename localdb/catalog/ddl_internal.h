// Helpers shared by the DDL units (tables, other objects, users and grants).
#pragma once

#include "localdb/catalog/catalog.h"
#include "localdb/catalog/ddl.h"
#include "localdb/system/session_core.h"

#include <string>
#include <vector>

namespace localdb::ddl {

// The owner and name a CREATE names, checked: the owner exists and the user may create there.
std::pair<std::string, std::string> creationTarget(NameResolver &names, const Name &name);
// Throws ORA-00955 at the name when owner.name is taken in the tables' namespace.
void checkNameFree(Catalog &catalog, const std::string &owner, const std::string &name, int offset);
// A table the user owns (or may alter as DBA), by name; ORA-00942 when there is none.
std::shared_ptr<const TableInfo> ownTable(NameResolver &names, const Name &name);

// Adds the constraints of a CREATE TABLE or ALTER TABLE ADD to the catalogue (names generated
// where none was given, key indexes created). selfColumns is the new column list of the table.
void addConstraints(NameResolver &names, std::int64_t tableId, const std::string &owner, const std::string &table,
                    std::vector<ConstraintDef> &constraints, const std::vector<ColumnDef> *notNullColumns,
                    bool validate);
// Column definitions into catalogue columns.
ColumnInfo columnInfo(const ColumnDef &def);

void createTable(Statement &st, const std::string &sql, SessionCore &core, NameResolver &names);
void alterTable(AlterTableStmt &st, SessionCore &core, NameResolver &names);
void dropTable(DropStmt &st, NameResolver &names);
void truncateTable(const Name &name, NameResolver &names);
void dropTableObject(NameResolver &names, std::int64_t id);

void createIndex(CreateIndexStmt &st, NameResolver &names);
void createView(CreateViewStmt &st, NameResolver &names);
void createSequence(CreateSequenceStmt &st, NameResolver &names, bool alter, SessionCore &core);
void createSynonym(CreateSynonymStmt &st, NameResolver &names);
void dropObject(DropStmt &st, NameResolver &names, SessionCore &core);
void comment(CommentStmt &st, NameResolver &names);
void rename(const Name &from, const Name &to, NameResolver &names);

void userStatement(Statement &st, NameResolver &names);
void grant(GrantStmt &st, bool revoke, NameResolver &names);

}  // namespace localdb::ddl
