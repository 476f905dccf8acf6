// Name resolution through schemas and synonyms, with the access rule of the classic releases:
// a user sees his own objects, SYS's dictionary (except OBJ$ without DBA), and what he was granted.
#include "localdb/sql/name_resolver.h"

#include "localdb/system/connection.h"
#include "localdb/system/errors.h"

namespace localdb {

std::optional<ObjectRef> NameResolver::lookup(const std::string &owner, const std::string &name) {
    dependencies_.insert(objectKey(owner, name));
    return catalog_.findObject(owner, name);
}

void NameResolver::noteHostName(const std::vector<std::string> &parts) {
    if (parts.empty())
        return;
    dependencies_.insert(objectKey(schema_, parts[0]));
    if (parts.size() > 1)
        dependencies_.insert(objectKey(parts[0], parts[1]));
}

std::optional<ObjectRef> NameResolver::follow(std::optional<ObjectRef> object, int depth) {
    if (!object || object->type != "SYNONYM")
        return object;
    if (depth > 16)
        raise(980, -1);
    auto p = catalog_.connection().prepare("SELECT table_owner, table_name FROM kdb_synonyms WHERE object_id = ?1");
    p.bind(1, object->id);
    if (!p.step())
        return std::nullopt;
    auto next = lookup(p.text(0), p.text(1));
    if (!next)
        raise(980, -1);
    return follow(next, depth + 1);
}

bool NameResolver::mayAccess(const ObjectRef &object, const std::string &privilege) {
    if (object.owner == user_)
        return true;
    if (object.owner == "SYS")
        return object.name != "OBJ$" || catalog_.isDba(user_);
    if (catalog_.isDba(user_))
        return true;
    return catalog_.hasObjectPrivilege(user_, object.owner, object.name, privilege);
}

std::optional<ResolvedObject> NameResolver::find(const Name &name) {
    std::optional<ObjectRef> found;
    if (name.parts.size() == 1) {
        found = follow(lookup(schema_, name.parts[0]));
        if (!found)
            found = follow(lookup("PUBLIC", name.parts[0]));
    } else if (name.parts.size() == 2) {
        found = follow(lookup(name.parts[0], name.parts[1]));
    }
    if (!found)
        return std::nullopt;
    ResolvedObject r;
    r.object = *found;
    if (found->type == "TABLE" || found->type == "VIEW")
        r.table = catalog_.table(found->id);
    return r;
}

ResolvedObject NameResolver::table(const Name &name, const std::string &privilege) {
    auto r = find(name);
    if (!r || !r->table || !mayAccess(r->object, privilege))
        raise(942, name.offset());
    return *r;
}

ResolvedObject NameResolver::sequence(const Name &name) {
    auto r = find(name);
    if (!r || r->object.type != "SEQUENCE" || !mayAccess(r->object, "SELECT"))
        raise(2289, name.offset());
    return *r;
}

std::pair<std::string, std::string> NameResolver::target(const Name &name) const {
    if (name.parts.size() >= 2)
        return {name.parts[0], name.parts[1]};
    return {schema_, name.parts[0]};
}

}  // namespace localdb
