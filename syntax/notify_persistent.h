// Change-notifying settings objects: every settings class of the editor and its parsers reports
// each change to its owner through one change handler, and an update counter defers the report
// until a group of changes is complete.
//
// The chain of reports: a child object's OnChange is its owner's ChangedProc, which reports the
// owner as changed in turn (unless the report came from the owner itself), up to the fountain's
// change list, which calls every registered listener.
#pragma once

#include "classlib/collection.h"
#include "classlib/persistent.h"

#include <array>
#include <cstring>
#include <type_traits>
#include <vector>

class TNotifyPersistent : public TPersistent {
    Q_OBJECT
public:
    explicit TNotifyPersistent(QObject *parent = nullptr);
    ~TNotifyPersistent() override;

    // Calls OnChange with this object as sender, unless an update scope is open.
    virtual void Changed();
    void BeginUpdate() override;
    // Closes one update scope, then reports the change (Changed reports only when the last
    // scope closed). An EndUpdate without BeginUpdate does not drive the counter below zero.
    void EndUpdate() override;
    // The handler children of this object get as their OnChange: reports this object changed
    // unless the sender is the object itself.
    virtual void ChangedProc(QObject *sender);
    TNotifyEvent ChangedHandler();

    int UpdateCount() const { return FUpdateCount; }

    TNotifyEvent OnChange;

private:
    int FUpdateCount = 0;
};

// A collection that reports its changes (once its own update counter is back at 0) to OnChange
// with itself as sender.
class TNotifyCollection : public TCollection {
    Q_OBJECT
public:
    TNotifyCollection(ItemFactory factory, QObject *owner);
    ~TNotifyCollection() override;

    // Marks the collection changed unless the sender is the collection itself; item colours
    // report here.
    virtual void ChangedProc(QObject *sender);
    TNotifyEvent ChangedHandler();

    TNotifyEvent OnChange;

protected:
    void Update(TCollectionItem *item) override;
};

// A list of change listeners. Changed calls every listener in the order added with the owner as
// sender, unless an update scope is open. Listeners are identified by the object and the member
// they call (as a method pointer is), so that each can remove itself again.
class TNotifyEventList : public TNotifyPersistent {
    Q_OBJECT
public:
    explicit TNotifyEventList(QObject *owner);
    ~TNotifyEventList() override;

    QObject *Owner() const { return FOwner; }

    // The member may be declared by a base of the receiver's class (an inherited ChangedProc).
    template <class Receiver, class Class>
    void Add(Receiver *receiver, void (Class::*method)(QObject *))
    {
        static_assert(std::is_base_of_v<Class, Receiver>);
        Class *object = receiver;
        AddEntry(Entry{object, MethodKey(method), [object, method](QObject *sender) {
                           (object->*method)(sender);
                       }});
    }
    // Removes the last entry for that object and member.
    template <class Receiver, class Class>
    void Remove(Receiver *receiver, void (Class::*method)(QObject *))
    {
        static_assert(std::is_base_of_v<Class, Receiver>);
        const Class *object = receiver;
        RemoveEntry(object, MethodKey(method));
    }
    // A listener that is a plain function, identified by key alone.
    void Add(const void *key, TNotifyEvent event);
    void Remove(const void *key);

    int Count() const { return static_cast<int>(FEntries.size()); }
    void Changed() override;

private:
    using Key = std::array<unsigned char, 2 * sizeof(void *)>;
    struct Entry {
        const void *Receiver;
        Key Method;
        TNotifyEvent Event;
    };

    template <class M>
    static Key MethodKey(M method)
    {
        static_assert(sizeof(M) <= sizeof(Key));
        Key key{};
        std::memcpy(key.data(), &method, sizeof(M));
        return key;
    }
    void AddEntry(Entry entry);
    void RemoveEntry(const void *receiver, const Key &method);

    QObject *FOwner;
    std::vector<Entry> FEntries;
};
