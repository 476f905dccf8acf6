// Resolves the names a statement uses (EMP, SCOTT.EMP, a synonym, a dictionary view) to catalogue
// objects: first the current schema, then the public synonyms, following synonym chains.
#pragma once

#include "localdb/ast.h"
#include "localdb/catalog.h"

#include <optional>
#include <string>

namespace localdb {

struct ResolvedObject {
    ObjectRef object;  // after following synonyms
    std::shared_ptr<const TableInfo> table;  // TABLE and VIEW
};

class NameResolver {
public:
    NameResolver(Catalog &catalog, std::string schema, std::string user)
        : catalog_(catalog), schema_(std::move(schema)), user_(std::move(user)) {}

    // Finds a table, view or sequence; nullopt when there is none the user may see.
    std::optional<ResolvedObject> find(const Name &name);
    // As find(), but throws ORA-00942 (or ORA-02289 for wantSequence) at the name.
    ResolvedObject table(const Name &name, const std::string &privilege = "SELECT");
    ResolvedObject sequence(const Name &name);

    // Owner and object name a CREATE statement names: SCOTT.X or X in the current schema.
    std::pair<std::string, std::string> target(const Name &name) const;

    const std::string &schema() const { return schema_; }
    const std::string &user() const { return user_; }
    Catalog &catalog() { return catalog_; }
    bool mayAccess(const ObjectRef &object, const std::string &privilege);

private:
    std::optional<ObjectRef> follow(std::optional<ObjectRef> object, int depth = 0);

    Catalog &catalog_;
    std::string schema_;
    std::string user_;
};

}  // namespace localdb
