// The statement cache and the pool of prepared statements of each cached statement.
#include "localdb/system/statement_cache.h"

#include <sqlite3.h>

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
    ++stored_;
    if (entries_.size() >= kCapacity && !order_.empty()) {
        entries_.erase(order_.front());
        order_.pop_front();
    }
    if (entries_.emplace(text, std::move(statement)).second)
        order_.push_back(text);
}

void StatementCache::invalidate(const std::set<std::string> &objects) {
    auto dependsOnChange = [&](const CompiledStatement &c) {
        for (const auto &d : c.dependencies)
            if (objects.count(d))
                return true;
        return false;
    };
    for (auto it = order_.begin(); it != order_.end();) {
        auto entry = entries_.find(*it);
        if (entry != entries_.end() && dependsOnChange(*entry->second)) {
            entries_.erase(entry);
            it = order_.erase(it);
        } else {
            ++it;
        }
    }
}

void StatementCache::clear() {
    entries_.clear();
    order_.clear();
}

}  // namespace localdb
