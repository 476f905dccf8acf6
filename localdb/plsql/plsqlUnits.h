// Stored program units: catalogue storage and the session's cache of compiled units.
#pragma once

#include "localdb/plsql/plsqlCompiler.h"

#include <map>
#include <set>

namespace localdb::plsql {

// Thrown by storeUnit after a unit was stored with errors (the caller reports ORA-24344).
struct CompiledWithErrors {};

class UnitCache {
public:
    explicit UnitCache(SessionCore &core);
    // The current compiled form of OWNER.NAME (a package with its body), compiled when the stored
    // unit changed since; null when there is no such unit.
    std::shared_ptr<CompiledUnit> find(const std::string &owner, const std::string &name);
    void forget(const std::string &owner, const std::string &name);

private:
    bool referencesCurrent(const CompiledUnit &unit);
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
void dropUnit(SessionCore &core, const std::string &owner, const std::string &type, const std::string &name);

}  // namespace localdb::plsql
