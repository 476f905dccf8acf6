// Stored program units: catalogue storage and the session's cache of compiled units.
#pragma once

#include "localdb/plsql/plsqlCompiler.h"

#include <map>
#include <optional>
#include <set>

namespace localdb::plsql {

// Thrown by storeUnit after a unit was stored with errors (the caller reports ORA-24344).
struct CompiledWithErrors {};

// A unit's row in the catalogue's object list.
struct ObjectRow {
    std::int64_t id = 0;
    std::string status, lastDdl;
    std::int64_t generation = 0;  // compilations so far
};

class UnitCache {
public:
    explicit UnitCache(SessionCore &core);
    // The current compiled form of OWNER.NAME (a package with its body), compiled when the stored
    // unit changed since; null when there is no such unit.
    std::shared_ptr<CompiledUnit> find(const std::string &owner, const std::string &name);
    void forget(const std::string &owner, const std::string &name);

private:
    bool referencesCurrent(const CompiledUnit &unit);
    void revalidate(const std::string &owner, const std::string &name, const std::string &type, const ObjectRow &spec,
                    const std::optional<ObjectRow> &body);
    struct Entry {
        std::string stamp;
        std::shared_ptr<CompiledUnit> unit;
    };
    SessionCore &core_;
    std::map<std::string, Entry> units_;
    std::set<std::string> loading_;
};

UnitCache &unitsOf(SessionCore &core);

// CREATE [OR REPLACE] of a unit inside the DDL transaction: source, compilation, errors,
// arguments, dependencies and status.
void storeUnit(SessionCore &core, const std::string &owner, const std::string &type, const std::string &name,
               const std::string &text, bool orReplace);
// Compiles a stored unit's source and records the outcome (errors, arguments, dependencies,
// status); true when it compiled without errors.
bool recordCompilation(SessionCore &core, const std::string &owner, const std::string &type, const std::string &name,
                       std::int64_t id, const std::string &text);
void dropUnit(SessionCore &core, const std::string &owner, const std::string &type, const std::string &name);

}  // namespace localdb::plsql
