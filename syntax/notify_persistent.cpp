// Change-notifying settings objects, collections and the list of change listeners.
#include "syntax/notify_persistent.h"

#include <algorithm>

TNotifyPersistent::TNotifyPersistent(QObject *parent) : TPersistent(parent) {}

TNotifyPersistent::~TNotifyPersistent() = default;

void TNotifyPersistent::Changed()
{
    if (FUpdateCount == 0 && OnChange)
        OnChange(this);
}

void TNotifyPersistent::BeginUpdate() { ++FUpdateCount; }

void TNotifyPersistent::EndUpdate()
{
    if (FUpdateCount > 0)
        --FUpdateCount;
    Changed();
}

void TNotifyPersistent::ChangedProc(QObject *sender)
{
    if (sender != this)
        Changed();
}

TNotifyEvent TNotifyPersistent::ChangedHandler()
{
    return [this](QObject *sender) { ChangedProc(sender); };
}

// ---------------------------------------------------------------------------------------------

TNotifyCollection::TNotifyCollection(ItemFactory factory, QObject *owner)
    : TCollection(std::move(factory), owner)
{
}

TNotifyCollection::~TNotifyCollection() { OnChange = nullptr; }

void TNotifyCollection::ChangedProc(QObject *sender)
{
    if (sender != this)
        Changed(nullptr);
}

TNotifyEvent TNotifyCollection::ChangedHandler()
{
    return [this](QObject *sender) { ChangedProc(sender); };
}

void TNotifyCollection::Update(TCollectionItem * /*item*/)
{
    if (OnChange)
        OnChange(this);
}

// ---------------------------------------------------------------------------------------------

TNotifyEventList::TNotifyEventList(QObject *owner) : TNotifyPersistent(owner), FOwner(owner) {}

TNotifyEventList::~TNotifyEventList() = default;

void TNotifyEventList::Add(const void *key, TNotifyEvent event)
{
    AddEntry(Entry{key, Key{}, std::move(event)});
}

void TNotifyEventList::Remove(const void *key) { RemoveEntry(key, Key{}); }

void TNotifyEventList::AddEntry(Entry entry) { FEntries.push_back(std::move(entry)); }

void TNotifyEventList::RemoveEntry(const void *receiver, const Key &method)
{
    for (auto it = FEntries.rbegin(); it != FEntries.rend(); ++it) {
        if (it->Receiver == receiver && it->Method == method) {
            FEntries.erase(std::next(it).base());
            return;
        }
    }
}

void TNotifyEventList::Changed()
{
    if (UpdateCount() != 0)
        return;
    // A listener may add or remove listeners while it runs: the listeners added meanwhile wait
    // for the next change, and one removed meanwhile is not called (it may be gone).
    const std::vector<Entry> entries = FEntries;
    for (const Entry &entry : entries) {
        const bool stillListening =
            std::any_of(FEntries.begin(), FEntries.end(), [&entry](const Entry &e) {
                return e.Receiver == entry.Receiver && e.Method == entry.Method;
            });
        if (stillListening && entry.Event)
            entry.Event(FOwner);
    }
}
