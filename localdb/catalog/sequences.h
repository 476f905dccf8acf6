// Sequence numbers for one session: values are taken from the catalogue in blocks of the
// sequence's CACHE size (so USER_SEQUENCES.LAST_NUMBER moves as Oracle's does) and are never given
// back: a rollback that undoes a block's allocation writes the high-water mark again.
#pragma once

#include "localdb/catalog/sequence_number.h"

#include <cstdint>
#include <map>
#include <string>

namespace localdb {

class Connection;

class Sequences {
public:
    explicit Sequences(Connection &db) : db_(db) {}

    SequenceNumber next(std::int64_t id);     // NEXTVAL; throws ORA-08004 past MAXVALUE without CYCLE
    SequenceNumber current(std::int64_t id);  // CURRVAL; throws ORA-08002 before the first NEXTVAL
    void forget(std::int64_t id);     // after DROP or ALTER SEQUENCE
    void afterRollback();             // re-writes the blocks taken inside the rolled-back transaction
    void afterCommit() { pending_.clear(); }

private:
    struct Block {
        SequenceNumber next = 0;
        long long remaining = 0;
        SequenceNumber increment = 1;
        std::string name;
    };
    Connection &db_;
    std::map<std::int64_t, Block> blocks_;
    std::map<std::int64_t, SequenceNumber> current_;
    std::map<std::int64_t, SequenceNumber> pending_;  // last_number written inside the open transaction
};

}  // namespace localdb
