// The dynaset over an engine cursor, and its fields.
#include "db/ora_dynaset.h"

#include "classlib/cp932.h"
#include "db/ora_error.h"
#include "localdb/localdb.h"

namespace db {

namespace {
const Variant kNull;
}

OraField::OraField(OraDynaset &owner, int index, std::string name, int type, char binaryKind)
    : owner_(&owner), index_(index), name_(std::move(name)), type_(type), binaryKind_(binaryKind)
{
}

const Variant &OraField::Value() const { return owner_->FieldValue(index_); }

int OraFields::Count() const { return static_cast<int>(owner_.fieldList_.size()); }

std::shared_ptr<OraField> OraFields::Item(int index) const
{
    if (index < 0 || index >= Count())
        throw EOraError(0, "フィールドの番号が範囲を超えています (" + std::to_string(index) + ")");
    // The field shares ownership of the dynaset: keeping a field keeps its record source alive.
    std::shared_ptr<const OraDynaset> self = owner_.shared_from_this();
    return std::shared_ptr<OraField>(std::const_pointer_cast<OraDynaset>(self),
                                     &owner_.fieldList_[static_cast<std::size_t>(index)]);
}

std::shared_ptr<OraField> OraFields::Item(std::string_view name) const
{
    for (int i = 0; i < Count(); ++i) {
        if (cp932::SameText(owner_.fieldList_[static_cast<std::size_t>(i)].name(), name))
            return Item(i);
    }
    throw EOraError(0, "フィールドが見つかりません: " + cp932::Cp932ToUtf8(name));
}

OraDynaset::OraDynaset(std::shared_ptr<localdb::Session> engine, std::unique_ptr<localdb::Cursor> cursor,
                       std::shared_ptr<const bool> inHandler)
    : engine_(std::move(engine)), cursor_(std::move(cursor)), inHandler_(std::move(inHandler)), fields_(*this)
{
    const auto &columns = cursor_->columns();
    fieldList_.reserve(columns.size());
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const std::string &oracleType = columns[i].oracleType;
        const char binaryKind = oracleType == "BINARY_DOUBLE" ? 'D' : oracleType == "BINARY_FLOAT" ? 'F' : 0;
        fieldList_.emplace_back(*this, static_cast<int>(i), cp932::Utf8ToCp932(columns[i].name),
                                static_cast<int>(columns[i].type), binaryKind);
    }
    converted_.resize(columns.size());
    convertedRecord_.assign(columns.size(), 0);
    eof_ = !Fetch();
}

OraDynaset::~OraDynaset() = default;

// One step of the engine's cursor, its errors raised as the session interface's.
bool OraDynaset::Fetch()
{
    if (inHandler_ && *inHandler_)
        throw SessionBusyError();
    ++record_;
    try {
        return cursor_->next();
    } catch (const localdb::Error &e) {
        throw EOraError(e.code(), e.what(), -1);
    }
}

void OraDynaset::MoveNext()
{
    if (eof_) return;
    if (detached_) {
        // MoveLast already read the whole result: the copied record was the last one.
        detached_ = false;
        detachedRow_.clear();
        ++record_;
        eof_ = true;
        return;
    }
    eof_ = !Fetch();
}

void OraDynaset::MoveLast()
{
    if (eof_ || detached_) return;
    const std::size_t count = fieldList_.size();
    std::vector<localdb::Value> row(count);
    do {
        for (std::size_t i = 0; i < count; ++i) row[i] = cursor_->value(static_cast<int>(i));
    } while (Fetch());
    detachedRow_ = std::move(row);
    detached_ = true;
}

const Variant &OraDynaset::FieldValue(int index) const
{
    if (eof_) return kNull;
    const auto i = static_cast<std::size_t>(index);
    if (convertedRecord_[i] != record_) {
        AssignFromEngineValue(converted_[i], detached_ ? detachedRow_[i] : cursor_->value(index));
        convertedRecord_[i] = record_;
    }
    return converted_[i];
}

} // namespace db
