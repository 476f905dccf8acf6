// Collections: an ordered, indexed list of items of one item class, owned by the collection and
// made by its factory. The stream writes a collection property as a collection value holding each
// item's published properties; reading it replaces the items.
#pragma once

#include "classlib/persistent.h"

#include <functional>
#include <vector>

class TCollection;

class TCollectionItem : public TPersistent {
    Q_OBJECT
public:
    // The item joins collection (if given) at its end; the collection owns it from then on.
    explicit TCollectionItem(TCollection *collection = nullptr);
    // Leaves its collection.
    ~TCollectionItem() override;

    TCollection *Collection() const { return FCollection; }
    // Moves the item to another collection (or none: the caller then owns it).
    void SetCollection(TCollection *collection);
    int Index() const;  // -1 outside a collection
    void SetIndex(int index);

protected:
    // Reports a change of this item (allItems = false) or of the whole collection to the
    // collection's Update.
    virtual void Changed(bool allItems);

private:
    friend class TCollection;
    TCollection *FCollection = nullptr;
};

class TCollection : public TPersistent {
    Q_OBJECT
public:
    // Makes a new item already inserted into the given collection (normally `new T(collection)`).
    using ItemFactory = std::function<TCollectionItem *(TCollection *collection)>;

    template <class Item>
    static ItemFactory FactoryOf()
    {
        return [](TCollection *collection) -> TCollectionItem * { return new Item(collection); };
    }

    // The factory may also be called with a plain TCollection: the stream builds items there
    // before copying them in, so items must not assume their collection's class.
    explicit TCollection(ItemFactory factory, QObject *owner = nullptr);
    ~TCollection() override;  // frees the items

    // Owner of the collection (the object whose property it is), for change reports.
    QObject *Owner() const { return parent(); }
    const ItemFactory &Factory() const { return FFactory; }

    int Count() const { return static_cast<int>(FItems.size()); }
    TCollectionItem *Items(int index) const;  // raises EListError for a bad index
    // Copies source into the item at index.
    void SetItem(int index, const TCollectionItem *source);

    // A new item at the end (Add) or at index (Insert; index may equal Count).
    virtual TCollectionItem *Add();
    TCollectionItem *Insert(int index);
    void Delete(int index);
    virtual void Clear();

    void BeginUpdate() override;
    void EndUpdate() override;
    int UpdateCount() const { return FUpdateCount; }

    // From another collection: clear, then one new item per source item assigned from it, in
    // one update scope (the scope ends also when copying fails).
    void Assign(const TPersistent *source) override;

protected:
    // Called after a change while no update scope is open, and once at the end of a scope in
    // which something changed; item is the changed item or null for "all".
    virtual void Update(TCollectionItem *item);
    // Reports a change (deferred inside an update scope).
    void Changed(TCollectionItem *item = nullptr);

private:
    friend class TCollectionItem;
    void InsertItem(TCollectionItem *item);
    void RemoveItem(TCollectionItem *item);
    void MoveItem(TCollectionItem *item, int newIndex);
    int IndexOfItem(const TCollectionItem *item) const;

    ItemFactory FFactory;
    std::vector<TCollectionItem *> FItems;
    int FUpdateCount = 0;
    bool FChangedInUpdate = false;
};
