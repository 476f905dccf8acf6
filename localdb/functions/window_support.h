// What the engine's window functions and ordered aggregates share: values kept from one call to
// the next, Oracle's sort order over them, and the per-group state SQLite holds for them.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <new>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace localdb::functions {

// A copy of one SQLite value (NULL, integer, real, text or blob bytes).
struct Cell {
    std::variant<std::monostate, std::int64_t, double, std::string> value;
    bool blob = false;

    static Cell of(sqlite3_value *v);
    bool isNull() const { return value.index() == 0; }
    void setResult(sqlite3_context *context) const;
};

// Orders values as the engine's ORDER BY does: numbers by value before text and raw, text and
// raw by their bytes. NULL is not handled here.
int compareValues(const Cell &a, const Cell &b);

// The direction and NULL placement of each sort key: two letters per key, A or D, then F (NULLS
// FIRST) or L (NULLS LAST), as the emitter writes them.
class SortSpec {
public:
    explicit SortSpec(std::string_view letters);
    size_t keys() const { return letters_.size() / 2; }
    // <0, 0, >0 as row a sorts before, with, after row b.
    int compare(const std::vector<Cell> &a, const std::vector<Cell> &b) const;

private:
    std::string letters_;
};

// The state of one group (or window partition) as an object of type State, owned through a
// pointer in SQLite's aggregate context. take() hands it over and clears the slot (the final call).
template <class State>
State *groupState(sqlite3_context *context)
{
    auto **slot = static_cast<State **>(sqlite3_aggregate_context(context, sizeof(State *)));
    if (!slot)
        throw std::bad_alloc();
    if (!*slot)
        *slot = new State();
    return *slot;
}

template <class State>
State *existingGroupState(sqlite3_context *context)
{
    auto **slot = static_cast<State **>(sqlite3_aggregate_context(context, 0));
    return slot ? *slot : nullptr;
}

template <class State>
void releaseGroupState(sqlite3_context *context)
{
    auto **slot = static_cast<State **>(sqlite3_aggregate_context(context, 0));
    if (slot) {
        delete *slot;
        *slot = nullptr;
    }
}

}  // namespace localdb::functions
