// A field of a dynaset: its name and type code fixed when the query opened, its value that of the
// dynaset's current record. The fields collection gives them by 0-based index or by name.
#pragma once

#include "db/variant.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace db {

class OraDynaset;

// Type codes as fields report them through type(): localdb's FieldType codes.
enum OraFieldType : int {
    ftInteger = 3,
    ftLongInteger = 4,
    ftDouble = 7,
    ftDate = 8,
    ftText = 10,
    ftLongBinary = 11,
    ftMemo = 12,
};

class OraField {
public:
    OraField(OraDynaset &owner, int index, std::string name, int type, char binaryKind = 0);

    const std::string &name() const { return name_; }  // code page 932, as the engine derived it
    int type() const { return type_; }
    // 'F' for a BINARY_FLOAT column, 'D' for BINARY_DOUBLE (shown in their scientific form), else 0.
    char binaryKind() const { return binaryKind_; }
    // The value in the current record; null past the last record. The reference stays valid
    // until the dynaset moves.
    const Variant &Value() const;

private:
    OraDynaset *owner_;
    int index_;
    std::string name_;
    int type_;
    char binaryKind_;
};

// The fields collection of one dynaset. Fields handed out share ownership of their dynaset, so a
// window may keep the list of fields for a whole fetch without keeping the dynaset itself.
class OraFields {
public:
    explicit OraFields(OraDynaset &owner) : owner_(owner) {}

    int Count() const;
    // Throws EOraError for an index out of range.
    std::shared_ptr<OraField> Item(int index) const;
    // Names compare without regard to the case of a-z; throws EOraError for an unknown name.
    std::shared_ptr<OraField> Item(std::string_view name) const;

private:
    OraDynaset &owner_;
};

} // namespace db
