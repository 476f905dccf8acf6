// Sequence allocation in cached blocks.
#include "localdb/sequences.h"

#include "localdb/connection.h"
#include "localdb/errors.h"

#include <cmath>

namespace localdb {

double Sequences::next(std::int64_t id) {
    Block &b = blocks_[id];
    if (b.remaining <= 0) {
        auto p = db_.prepare("SELECT s.min_value, s.max_value, s.increment_by, s.cycle_flag, s.cache_size, "
                             "s.last_number, o.object_name FROM kdb_sequences s JOIN kdb_objects o "
                             "ON o.object_id = s.object_id WHERE s.object_id = ?1");
        p.bind(1, id);
        if (!p.step())
            raise(2289);
        double minValue = p.real(0), maxValue = p.real(1), increment = p.real(2);
        bool cycle = p.text(3) == "Y";
        long long cache = std::max<long long>(1, p.integer(4));
        double last = p.real(5);
        b.name = p.text(6);
        p.reset();
        bool ascending = increment > 0;
        if ((ascending && last > maxValue) || (!ascending && last < minValue)) {
            if (!cycle)
                raise(8004, -1, {b.name, ascending ? "MAXVALUE" : "MINVALUE"});
            last = ascending ? minValue : maxValue;
        }
        // How many values fit before the limit.
        double room = ascending ? std::floor((maxValue - last) / increment) + 1 : std::floor((last - minValue) / -increment) + 1;
        long long count = room >= double(cache) ? cache : std::max(1LL, (long long)room);
        double newLast = last + increment * double(count);
        auto u = db_.prepare("UPDATE kdb_sequences SET last_number = ?2 WHERE object_id = ?1");
        u.bind(1, id);
        if (newLast == std::floor(newLast) && std::fabs(newLast) < 9e18)
            u.bind(2, std::int64_t(newLast));
        else
            u.bind(2, newLast);
        u.run();
        if (db_.inTransaction())
            pending_[id] = newLast;
        b.next = last;
        b.remaining = count;
        b.increment = increment;
    }
    double v = b.next;
    b.next += b.increment;
    --b.remaining;
    current_[id] = v;
    return v;
}

double Sequences::current(std::int64_t id) {
    auto it = current_.find(id);
    if (it == current_.end()) {
        auto p = db_.prepare("SELECT object_name FROM kdb_objects WHERE object_id = ?1");
        p.bind(1, id);
        std::string name = p.step() ? p.text(0) : std::string("?");
        raise(8002, -1, {name});
    }
    return it->second;
}

void Sequences::forget(std::int64_t id) {
    blocks_.erase(id);
    pending_.erase(id);
}

void Sequences::afterRollback() {
    for (const auto &[id, last] : pending_) {
        auto u = db_.prepare("UPDATE kdb_sequences SET last_number = CASE WHEN increment_by > 0 THEN "
                             "max(last_number, ?2) ELSE min(last_number, ?2) END WHERE object_id = ?1");
        u.bind(1, id);
        u.bind(2, last);
        u.run();
    }
    pending_.clear();
}

}  // namespace localdb
