// Translated statements kept by their text, so that running a statement again skips parsing,
// binding and emitting, and reuses its prepared SQLite statements. Each one lists the object
// names it depends on: a DDL of any session drops only the statements that depend on the objects
// it changed; ALTER SESSION SET CURRENT_SCHEMA flushes them all.
#pragma once

#include "localdb/system/connection.h"
#include "localdb/localdb.h"

#include <cstdint>
#include <list>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

namespace localdb {

struct CompiledStatement {
    std::string command;  // "SELECT", "INSERT" ...
    bool isQuery = false;
    bool isUpdate = false;  // NOT NULL violations read ORA-01407 instead of ORA-01400
    bool forUpdate = false; // SELECT ... FOR UPDATE: takes the write lock like a change would
    bool drawsSequence = false;  // a query calling NEXTVAL, which writes the sequence's next block
    std::vector<std::string> steps;  // SQLite statements run in order
    std::vector<bool> counted;       // whether a step's changes are the statement's rows (all when empty)
    std::vector<Column> columns;     // result columns of a query
    std::vector<bool> dateColumns;   // per result column: values are dates (stored as text)
    // Per result column: the Temporal kind of a timestamp or interval (0 for others), shown as
    // the session's text of the value.
    struct TemporalColumn {
        int kind = 0, leading = 0, fraction = 0;
    };
    std::vector<TemporalColumn> temporalColumns;
    std::vector<std::vector<Prepared>> idle;  // prepared statements per step, ready for reuse
    std::set<std::string> dependencies;  // "OWNER.NAME" of every object name the translation looked up

    // A prepared statement of step i: an idle one, or a new one.
    Prepared take(Connection &db, size_t step);
    void giveBack(size_t step, Prepared p);
};

class StatementCache {
public:
    std::shared_ptr<CompiledStatement> find(const std::string &text);
    void put(const std::string &text, std::shared_ptr<CompiledStatement> statement);
    void clear();
    // Drops the statements that depend on any of these objects ("OWNER.NAME").
    void invalidate(const std::set<std::string> &objects);
    std::int64_t hits() const { return hits_; }
    std::int64_t misses() const { return misses_; }
    std::int64_t stored() const { return stored_; }  // translations put, over the session's life

private:
    static constexpr size_t kCapacity = 256;
    std::unordered_map<std::string, std::shared_ptr<CompiledStatement>> entries_;
    std::list<std::string> order_;  // oldest first
    std::int64_t hits_ = 0, misses_ = 0, stored_ = 0;
};

}  // namespace localdb
