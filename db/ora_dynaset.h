// The result set of a query: positioned on its first record when created, read forward lazily
// from the engine, so a million-row query opens at once and costs memory for one record only.
#pragma once

#include "db/ora_field.h"
#include "db/variant.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace localdb {
class Cursor;
class Session;
} // namespace localdb

namespace db {

class OraDynaset : public std::enable_shared_from_this<OraDynaset> {
public:
    // engine keeps the engine's session alive as long as the cursor reads from it.
    // inHandler, when given, is set while the database's progress handler runs; moving then
    // raises EOraError instead of entering the engine inside its own call.
    OraDynaset(std::shared_ptr<localdb::Session> engine, std::unique_ptr<localdb::Cursor> cursor,
               std::shared_ptr<const bool> inHandler = {});
    ~OraDynaset();
    OraDynaset(const OraDynaset &) = delete;
    OraDynaset &operator=(const OraDynaset &) = delete;

    // True once the dynaset has moved past its last record (at once for an empty result).
    // Named Eof because EOF is the C library's macro.
    bool Eof() const { return eof_; }
    // Moves to the next record; past the last one Eof() becomes true. A no-op at the end.
    void MoveNext();
    // Moves to the last record (reading the rest of the result); on an empty result it stays at
    // the end.
    void MoveLast();

    const OraFields &Fields() const { return fields_; }
    std::shared_ptr<OraField> Fields(int index) const { return fields_.Item(index); }
    std::shared_ptr<OraField> Fields(std::string_view name) const { return fields_.Item(name); }

private:
    friend class OraField;
    friend class OraFields;
    const Variant &FieldValue(int index) const;
    bool Fetch();

    std::shared_ptr<localdb::Session> engine_;
    std::unique_ptr<localdb::Cursor> cursor_;
    std::shared_ptr<const bool> inHandler_;
    std::vector<OraField> fieldList_;
    OraFields fields_;
    bool eof_ = false;
    // MoveLast reads past the last record, so it keeps a copy of the record it stops on.
    bool detached_ = false;
    std::vector<localdb::Value> detachedRow_;
    // Values are converted to code page 932 on first use in each record.
    std::uint64_t record_ = 0;
    mutable std::vector<Variant> converted_;
    mutable std::vector<std::uint64_t> convertedRecord_;
};

} // namespace db
