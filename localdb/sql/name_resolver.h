// Resolves the names a statement uses (EMP, SCOTT.EMP, a synonym, a dictionary view) to catalogue
// objects: first the current schema, then the public synonyms, following synonym chains.
#pragma once

#include "localdb/sql/ast.h"
#include "localdb/catalog/catalog.h"

#include <functional>
#include <optional>
#include <set>
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

    // Every object name this resolver looked up, found or not ("OWNER.NAME"): what a statement
    // translated with it depends on. A name not found counts too, since creating that object
    // would change what the statement means (a table of one's own hiding a public synonym).
    const std::set<std::string> &dependencies() const { return dependencies_; }
    // A name the host was asked about (a stored function, pkg.f): creating or replacing the
    // object it may name changes what the statement calls.
    void noteHostName(const std::vector<std::string> &parts);
    // Takes over what another resolver (a view's owner's, say) looked up for the same statement.
    void addDependencies(const NameResolver &other) {
        dependencies_.insert(other.dependencies_.begin(), other.dependencies_.end());
    }

private:
    std::optional<ObjectRef> follow(std::optional<ObjectRef> object, int depth = 0);
    std::optional<ObjectRef> lookup(const std::string &owner, const std::string &name);

    Catalog &catalog_;
    std::string schema_;
    std::string user_;
    HostNames *host_ = nullptr;
    std::set<std::string> dependencies_;
};

// The key of an object in dependency lists.
inline std::string objectKey(const std::string &owner, const std::string &name) { return owner + "." + name; }

}  // namespace localdb
