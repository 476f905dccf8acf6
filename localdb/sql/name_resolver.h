// Resolves the names a statement uses (EMP, SCOTT.EMP, a synonym, a dictionary view) to catalogue
// objects: first the current schema, then the public synonyms, following synonym chains.
#pragma once

#include "localdb/sql/ast.h"
#include "localdb/catalog/catalog.h"

#include <functional>
#include <optional>
#include <string>

namespace localdb {

// Names a statement may use besides the schema's objects: inside PL/SQL the program's variables,
// which become bind parameters, and its functions; in any SQL the stored functions, called through
// the session's PL/SQL runtime. The binder asks only after a name found no column or built-in.
class HostNames {
public:
    virtual ~HostNames() = default;
    // Turns an unresolved (possibly qualified) name into a bound expression; false when it names
    // nothing the host knows.
    virtual bool variable(ExprPtr &e) = 0;
    // Turns a call into one the runtime serves; bindArgument binds each argument in the caller's
    // scope. false when the name is no function of the host.
    virtual bool function(ExprPtr &e, const std::function<void(ExprPtr &)> &bindArgument) = 0;
};

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
    HostNames *host() const { return host_; }
    void setHost(HostNames *host) { host_ = host; }

private:
    std::optional<ObjectRef> follow(std::optional<ObjectRef> object, int depth = 0);

    Catalog &catalog_;
    std::string schema_;
    std::string user_;
    HostNames *host_ = nullptr;
};

}  // namespace localdb
