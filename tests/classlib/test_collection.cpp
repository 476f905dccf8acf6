// Collections: ordering, ownership, change reports and copying.
#include "sample_objects.h"

#include "classlib/errors.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

std::vector<QString> Lefts(const TSampleCollection &collection)
{
    std::vector<QString> out;
    for (int i = 0; i < collection.Count(); ++i)
        out.push_back(collection.Item(i)->LeftBracket());
    return out;
}

void AddItems(TSampleCollection &collection, std::initializer_list<const char *> lefts)
{
    for (const char *left : lefts)
        static_cast<TSampleItem *>(collection.Add())->SetLeftBracket(left);
}

TEST(Collection, InsertDeleteAndIndexes)
{
    TSampleCollection collection;
    AddItems(collection, {"a", "c"});
    static_cast<TSampleItem *>(collection.Insert(1))->SetLeftBracket("b");
    EXPECT_EQ(Lefts(collection), (std::vector<QString>{"a", "b", "c"}));
    EXPECT_EQ(collection.Item(2)->Index(), 2);
    EXPECT_EQ(collection.Item(2)->Collection(), &collection);

    collection.Item(0)->SetIndex(2);
    EXPECT_EQ(Lefts(collection), (std::vector<QString>{"b", "c", "a"}));

    collection.Delete(1);
    EXPECT_EQ(Lefts(collection), (std::vector<QString>{"b", "a"}));
    delete collection.Items(0);  // an item freed by itself leaves the collection
    EXPECT_EQ(Lefts(collection), (std::vector<QString>{"a"}));

    EXPECT_THROW(collection.Items(1), EListError);
    EXPECT_THROW(collection.Insert(5), EListError);
    EXPECT_THROW(collection.Delete(-1), EListError);
}

TEST(Collection, MovingAnItemOut)
{
    TSampleCollection first;
    TSampleCollection second;
    AddItems(first, {"x"});
    TCollectionItem *item = first.Items(0);
    item->SetCollection(&second);
    EXPECT_EQ(first.Count(), 0);
    EXPECT_EQ(second.Count(), 1);
    item->SetCollection(nullptr);
    EXPECT_EQ(second.Count(), 0);
    std::unique_ptr<TCollectionItem> owned(item);  // the caller owns it now
    EXPECT_EQ(owned->Index(), -1);
}

TEST(Collection, ChangeReportsAreDeferredInAnUpdateScope)
{
    TSampleCollection collection;
    AddItems(collection, {"a"});
    EXPECT_EQ(collection.Updates, 1);
    collection.Updates = 0;
    collection.BeginUpdate();
    AddItems(collection, {"b", "c"});
    collection.Delete(0);
    EXPECT_EQ(collection.Updates, 0);
    collection.EndUpdate();
    EXPECT_EQ(collection.Updates, 1);

    collection.Updates = 0;
    collection.BeginUpdate();
    collection.EndUpdate();  // nothing changed: no report
    EXPECT_EQ(collection.Updates, 0);
}

TEST(Collection, AssignReplacesTheItemsWithCopies)
{
    TSampleCollection source;
    AddItems(source, {"(", "["});
    source.Item(1)->ItemColor()->SetColor(clPurple);
    TSampleCollection target;
    AddItems(target, {"old", "old", "old"});
    target.Updates = 0;
    target.Assign(&source);
    EXPECT_EQ(Lefts(target), (std::vector<QString>{"(", "["}));
    EXPECT_EQ(target.Item(1)->ItemColor()->Color(), clPurple);
    EXPECT_NE(target.Item(1)->ItemColor(), source.Item(1)->ItemColor());
    EXPECT_EQ(target.Updates, 1);
}

} // namespace
