// The bind-parameter collection.
#include "db/ora_parameters.h"

#include "classlib/cp932.h"
#include "db/ora_error.h"

namespace db {

namespace {
std::string_view StripColon(std::string_view name)
{
    if (!name.empty() && name.front() == ':') name.remove_prefix(1);
    return name;
}
} // namespace

OraParameter &OraParameters::Add(std::string_view name, Variant initial, int direction)
{
    name = StripColon(name);
    if (name.empty()) throw EOraError(0, "パラメータ名がありません");
    if (direction < paramInput || direction > paramInputOutput)
        throw EOraError(0, "パラメータの入出力区分が無効です (" + std::to_string(direction) + ")");
    auto item = std::make_unique<OraParameter>(std::string(name), std::move(initial), direction);
    for (auto &existing : items_) {
        if (cp932::SameText(existing->Name(), name)) {
            existing = std::move(item);
            return *existing;
        }
    }
    items_.push_back(std::move(item));
    return *items_.back();
}

void OraParameters::Remove(std::string_view name)
{
    name = StripColon(name);
    for (auto it = items_.begin(); it != items_.end(); ++it) {
        if (cp932::SameText((*it)->Name(), name)) {
            items_.erase(it);
            return;
        }
    }
    throw EOraError(0, "パラメータが見つかりません: " + cp932::Cp932ToUtf8(name));
}

OraParameter &OraParameters::Item(int index)
{
    if (index < 0 || index >= Count())
        throw EOraError(0, "パラメータの番号が範囲を超えています (" + std::to_string(index) + ")");
    return *items_[static_cast<std::size_t>(index)];
}

OraParameter *OraParameters::Find(std::string_view name)
{
    name = StripColon(name);
    for (auto &item : items_) {
        if (cp932::SameText(item->Name(), name)) return item.get();
    }
    return nullptr;
}

OraParameter &OraParameters::Item(std::string_view name)
{
    if (OraParameter *found = Find(name)) return *found;
    throw EOraError(0, "パラメータが見つかりません: " + cp932::Cp932ToUtf8(StripColon(name)));
}

} // namespace db
