// Bind parameters of a database object: each one added stays bound to every later statement that
// names it (":name") until it is removed; out and in-out values are written back after each run.
#pragma once

#include "db/variant.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace db {

enum OraParamDirection : int { paramInput = 1, paramOutput = 2, paramInputOutput = 3 };

class OraParameter {
public:
    OraParameter(std::string name, Variant value, int direction)
        : name_(std::move(name)), value_(std::move(value)), direction_(direction) {}

    const std::string &Name() const { return name_; }
    int Direction() const { return direction_; }
    // The server type the value binds as (1 VARCHAR2, 2 NUMBER, 12 DATE, ...); 0 lets the
    // value's own kind decide.
    int ServerType() const { return serverType_; }
    void SetServerType(int code) { serverType_ = code; }
    // Before a statement: the value bound; after it: the value the statement left (out values).
    const Variant &Value() const { return value_; }
    void SetValue(Variant value) { value_ = std::move(value); }

private:
    std::string name_;
    Variant value_;
    int direction_;
    int serverType_ = 0;
};

class OraParameters {
public:
    // name may carry a leading ":"; an existing parameter of the same name (case of a-z ignored)
    // is replaced. direction is 1 in, 2 out, 3 in-out; anything else raises EOraError.
    OraParameter &Add(std::string_view name, Variant initial, int direction);
    // Removing an unknown name raises EOraError.
    void Remove(std::string_view name);
    int Count() const { return static_cast<int>(items_.size()); }
    OraParameter &Item(int index);
    // Null when no parameter has that name.
    OraParameter *Find(std::string_view name);
    // Raises EOraError when no parameter has that name.
    OraParameter &Item(std::string_view name);

private:
    std::vector<std::unique_ptr<OraParameter>> items_;
};

} // namespace db
