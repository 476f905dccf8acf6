// Sequence allocation in cached blocks.
#include "localdb/catalog/sequences.h"

#include "localdb/system/connection.h"
#include "localdb/system/errors.h"

#include <algorithm>

namespace localdb {

SequenceNumber Sequences::next(std::int64_t id) {
    Block &b = blocks_[id];
    if (b.remaining <= 0) {
        auto p = db_.prepare("SELECT s.min_value, s.max_value, s.increment_by, s.cycle_flag, s.cache_size, "
                             "s.last_number, o.object_name FROM kdb_sequences s JOIN kdb_objects o "
                             "ON o.object_id = s.object_id WHERE s.object_id = ?1");
        p.bind(1, id);
        if (!p.step())
            raise(2289);
        const SequenceNumber minValue = readSequenceNumber(p, 0), maxValue = readSequenceNumber(p, 1);
        const SequenceNumber increment = readSequenceNumber(p, 2);
        bool cycle = p.text(3) == "Y";
        long long cache = std::max<long long>(1, p.integer(4));
        SequenceNumber last = readSequenceNumber(p, 5);
        b.name = p.text(6);
        p.reset();
        if (increment == 0)
            raise(600, -1, {"sequence " + b.name + " increments by 0"});
        bool ascending = increment > 0;
        if ((ascending && last > maxValue) || (!ascending && last < minValue)) {
            if (!cycle)
                raise(8004, -1, {b.name, ascending ? "MAXVALUE" : "MINVALUE"});
            last = ascending ? minValue : maxValue;
        }
        // How many values fit before the limit.
        const SequenceNumber room = (ascending ? (maxValue - last) / increment : (last - minValue) / -increment) + 1;
        const long long count = room >= SequenceNumber(cache) ? cache : std::max(1LL, (long long)room);
        const SequenceNumber newLast = last + increment * SequenceNumber(count);
        auto u = db_.prepare("UPDATE kdb_sequences SET last_number = ?2 WHERE object_id = ?1");
        u.bind(1, id);
        bindSequenceNumber(u, 2, newLast);
        u.run();
        if (db_.inTransaction())
            pending_[id] = newLast;
        b.next = last;
        b.remaining = count;
        b.increment = increment;
    }
    SequenceNumber v = b.next;
    if (--b.remaining > 0)
        b.next += b.increment;
    current_[id] = v;
    return v;
}

SequenceNumber Sequences::current(std::int64_t id) {
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
        auto p = db_.prepare("SELECT last_number, increment_by FROM kdb_sequences WHERE object_id = ?1");
        p.bind(1, id);
        if (!p.step())
            continue;  // dropped meanwhile
        const SequenceNumber stored = readSequenceNumber(p, 0);
        const bool ascending = readSequenceNumber(p, 1) > 0;
        p.reset();
        if (ascending ? stored >= last : stored <= last)
            continue;
        auto u = db_.prepare("UPDATE kdb_sequences SET last_number = ?2 WHERE object_id = ?1");
        u.bind(1, id);
        bindSequenceNumber(u, 2, last);
        u.run();
    }
    pending_.clear();
}

}  // namespace localdb
