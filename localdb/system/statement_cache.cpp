// The statement cache and the pool of prepared statements of each cached statement.
#include "localdb/system/statement_cache.h"

#include "localdb/system/session_core.h"

#include <sqlite3.h>

#include <atomic>

namespace localdb {

Prepared CompiledStatement::take(Connection &db, size_t step) {
    if (idle.size() < steps.size())
        idle.resize(steps.size());
    auto &pool = idle[step];
    if (!pool.empty()) {
        Prepared p = std::move(pool.back());
        pool.pop_back();
        return p;
    }
    return db.prepare(steps[step]);
}

void CompiledStatement::giveBack(size_t step, Prepared p) {
    if (!p)
        return;
    // Every parameter is bound again before the next run, so the old values may stay.
    sqlite3_reset(p.handle());
    if (idle.size() < steps.size())
        idle.resize(steps.size());
    if (idle[step].size() < 4)
        idle[step].push_back(std::move(p));
}

std::shared_ptr<CompiledStatement> StatementCache::find(const std::string &text) {
    auto it = entries_.find(text);
    if (it == entries_.end()) {
        ++misses_;
        return nullptr;
    }
    ++hits_;
    return it->second;
}

void StatementCache::put(const std::string &text, std::shared_ptr<CompiledStatement> statement) {
    if (entries_.size() >= kCapacity && !order_.empty()) {
        entries_.erase(order_.front());
        order_.pop_front();
    }
    if (entries_.emplace(text, std::move(statement)).second)
        order_.push_back(text);
}

void StatementCache::clear() {
    entries_.clear();
    order_.clear();
}

}  // namespace localdb

namespace localdb {

namespace {
std::atomic<std::uint64_t> processDdlGeneration{0};
}

void noteDdl() { ++processDdlGeneration; }

void checkSchemaChanges(SessionCore &core) {
    unsigned version = 0;
    sqlite3_file_control(core.db->handle(), "main", SQLITE_FCNTL_DATA_VERSION, &version);
    const std::uint64_t generation = processDdlGeneration.load();
    if (version == core.dataVersion && generation == core.ddlGeneration && core.schemaVersion >= 0)
        return;
    core.dataVersion = version;
    core.ddlGeneration = generation;
    if (!core.schemaVersionQuery)
        core.schemaVersionQuery = core.db->prepare("PRAGMA schema_version");
    Prepared &p = core.schemaVersionQuery;
    long long schema = p.step() ? p.integer(0) : 0;
    p.reset();
    if (schema != core.schemaVersion) {
        if (core.schemaVersion >= 0) {
            core.cache.clear();
            core.catalog->invalidate();
        }
        core.schemaVersion = schema;
    }
}

}  // namespace localdb
