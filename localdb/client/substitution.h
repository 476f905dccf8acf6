// Substitution variables: "&name" is replaced by the variable's value (asking for it when it is
// not defined), "&&name" also defines it for later uses, a "." right after the name ends it
// ("&prefix.SUFFIX"). DEFINE, UNDEFINE and script arguments (&1, &2 ...) fill the table.
// Works on plain text; asking for values goes through a callback so that tests can answer.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace localdb::client {

class SubstitutionVariables {
public:
    // Asked with the variable name (as typed) when it is undefined; nullopt when input ended.
    using Prompter = std::function<std::optional<std::string>(const std::string &name)>;

    void define(const std::string &name, const std::string &value);
    bool undefine(const std::string &name);
    std::optional<std::string> value(const std::string &name) const;
    // Every variable in name order (DEFINE without arguments lists them).
    const std::map<std::string, std::string> &all() const { return values_; }

    // The text with every variable replaced. prefix is the substitution character ("&").
    std::string substitute(std::string_view text, char prefix, const Prompter &ask);

private:
    std::map<std::string, std::string> values_;  // keyed by upper-case name
};

// The "old   1: ..." / "new   1: ..." lines shown for each line a substitution changed.
std::vector<std::string> verifyLines(const std::vector<std::string> &before, const std::vector<std::string> &after);

}  // namespace localdb::client
