// Variable names are letters, digits, "_", "$" and "#" and compare case-insensitively.
#include "localdb/client/substitution.h"

#include "localdb/client/command_names.h"

#include <cctype>
#include <cstdio>

namespace localdb::client {
namespace {

bool isNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$' || c == '#' ||
           static_cast<unsigned char>(c) >= 0x80;
}

}  // namespace

void SubstitutionVariables::define(const std::string &name, const std::string &value) {
    values_[upperAscii(name)] = value;
}

bool SubstitutionVariables::undefine(const std::string &name) { return values_.erase(upperAscii(name)) > 0; }

std::optional<std::string> SubstitutionVariables::value(const std::string &name) const {
    auto it = values_.find(upperAscii(name));
    if (it == values_.end())
        return std::nullopt;
    return it->second;
}

std::string SubstitutionVariables::substitute(std::string_view text, char prefix, const Prompter &ask) {
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] != prefix) {
            out += text[i++];
            continue;
        }
        size_t start = i + 1;
        const bool keep = start < text.size() && text[start] == prefix;
        if (keep)
            ++start;
        size_t end = start;
        while (end < text.size() && isNameChar(text[end]))
            ++end;
        if (end == start) {
            // A lone "&" (or "&&") followed by no name stays as it is.
            out.append(text.substr(i, end - i));
            i = end;
            continue;
        }
        const std::string name(text.substr(start, end - start));
        std::optional<std::string> v = value(name);
        if (!v) {
            v = ask ? ask(name) : std::nullopt;
            if (!v)
                v = std::string();
            if (keep)
                define(name, *v);
        }
        out += *v;
        i = end;
        if (i < text.size() && text[i] == '.')
            ++i;
    }
    return out;
}

std::vector<std::string> verifyLines(const std::vector<std::string> &before, const std::vector<std::string> &after) {
    std::vector<std::string> out;
    for (size_t i = 0; i < before.size() && i < after.size(); ++i) {
        if (before[i] == after[i])
            continue;
        char number[32];
        std::snprintf(number, sizeof number, "%4zu: ", i + 1);
        out.push_back("old" + std::string(number) + before[i]);
        out.push_back("new" + std::string(number) + after[i]);
    }
    return out;
}

}  // namespace localdb::client
