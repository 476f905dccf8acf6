// The registry of open child windows.
#include "app/child_registry.h"

#include <algorithm>

int TChildRegistry::Add(int tag)
{
    if (tag <= 0 || Full())
        return -1;
    FTags[FCount] = tag;
    return FCount++;
}

int TChildRegistry::IndexOf(int tag) const
{
    if (tag <= 0)
        return -1;
    const auto end = FTags.begin() + FCount;
    const auto found = std::find(FTags.begin(), end, tag);
    return found == end ? -1 : static_cast<int>(found - FTags.begin());
}

int TChildRegistry::TagAt(int index) const
{
    return index >= 0 && index < FCount ? FTags[index] : 0;
}

int TChildRegistry::Remove(int tag)
{
    const int index = IndexOf(tag);
    if (index < 0)
        return -1;
    std::move(FTags.begin() + index + 1, FTags.begin() + FCount, FTags.begin() + index);
    FTags[--FCount] = 0;
    return index;
}
