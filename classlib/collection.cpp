// Collections: item ownership, ordering and the deferred change report.
#include "classlib/collection.h"

#include "classlib/errors.h"

#include <algorithm>

// ---------------------------------------------------------------- TCollectionItem

TCollectionItem::TCollectionItem(TCollection *collection) : TPersistent(collection)
{
    if (collection)
        collection->InsertItem(this);
}

TCollectionItem::~TCollectionItem()
{
    if (FCollection)
        FCollection->RemoveItem(this);
}

void TCollectionItem::SetCollection(TCollection *collection)
{
    if (collection == FCollection)
        return;
    if (FCollection)
        FCollection->RemoveItem(this);
    setParent(collection);
    if (collection)
        collection->InsertItem(this);
}

int TCollectionItem::Index() const
{
    return FCollection ? FCollection->IndexOfItem(this) : -1;
}

void TCollectionItem::SetIndex(int index)
{
    if (FCollection)
        FCollection->MoveItem(this, index);
}

void TCollectionItem::Changed(bool allItems)
{
    if (FCollection)
        FCollection->Changed(allItems ? nullptr : this);
}

// ---------------------------------------------------------------- TCollection

TCollection::TCollection(ItemFactory factory, QObject *owner)
    : TPersistent(owner), FFactory(std::move(factory))
{
}

TCollection::~TCollection()
{
    // Items are QObject children too; free them here so that each leaves the list first.
    FUpdateCount = 1;  // no change reports from a collection being destroyed
    while (!FItems.empty())
        delete FItems.back();
}

TCollectionItem *TCollection::Items(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError::IndexOutOfBounds(index);
    return FItems[static_cast<size_t>(index)];
}

void TCollection::SetItem(int index, const TCollectionItem *source)
{
    Items(index)->Assign(source);
}

TCollectionItem *TCollection::Add()
{
    TCollectionItem *item = FFactory(this);
    if (item && item->Collection() != this)
        item->SetCollection(this);
    return item;
}

TCollectionItem *TCollection::Insert(int index)
{
    if (index < 0 || index > Count())
        throw EListError::IndexOutOfBounds(index);
    TCollectionItem *item = Add();
    item->SetIndex(index);
    return item;
}

void TCollection::Delete(int index)
{
    delete Items(index);
}

void TCollection::Clear()
{
    if (FItems.empty())
        return;
    TUpdateScope scope(*this);
    while (!FItems.empty())
        delete FItems.back();
}

void TCollection::BeginUpdate()
{
    ++FUpdateCount;
}

void TCollection::EndUpdate()
{
    if (FUpdateCount > 0 && --FUpdateCount == 0 && FChangedInUpdate) {
        FChangedInUpdate = false;
        Update(nullptr);
    }
}

void TCollection::Assign(const TPersistent *source)
{
    if (const auto *other = qobject_cast<const TCollection *>(source)) {
        if (other == this)
            return;
        TUpdateScope scope(*this);
        Clear();
        for (int i = 0; i < other->Count(); ++i)
            Add()->Assign(other->Items(i));
        return;
    }
    TPersistent::Assign(source);
}

void TCollection::Update(TCollectionItem *) {}

void TCollection::Changed(TCollectionItem *item)
{
    if (FUpdateCount > 0) {
        FChangedInUpdate = true;
        return;
    }
    Update(item);
}

void TCollection::InsertItem(TCollectionItem *item)
{
    item->FCollection = this;
    FItems.push_back(item);
    Changed(nullptr);
}

void TCollection::RemoveItem(TCollectionItem *item)
{
    const auto it = std::find(FItems.begin(), FItems.end(), item);
    if (it == FItems.end())
        return;
    FItems.erase(it);
    item->FCollection = nullptr;
    Changed(nullptr);
}

void TCollection::MoveItem(TCollectionItem *item, int newIndex)
{
    const int current = IndexOfItem(item);
    if (current < 0)
        return;
    newIndex = std::clamp(newIndex, 0, Count() - 1);
    if (newIndex == current)
        return;
    FItems.erase(FItems.begin() + current);
    FItems.insert(FItems.begin() + newIndex, item);
    Changed(nullptr);
}

int TCollection::IndexOfItem(const TCollectionItem *item) const
{
    const auto it = std::find(FItems.begin(), FItems.end(), item);
    return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}
