// Colours, colour items, bracket items and the bracket collection.
#include "syntax/fountain_color.h"

#include "classlib/cp932.h"
#include "classlib/errors.h"

TFountainColor::TFountainColor(QObject *parent) : TNotifyPersistent(parent) {}

TFountainColor::~TFountainColor() = default;

void TFountainColor::SetBkColor(TColor value)
{
    if (FBkColor == value)
        return;
    FBkColor = value;
    Changed();
}

void TFountainColor::SetColor(TColor value)
{
    if (FColor == value)
        return;
    FColor = value;
    Changed();
}

void TFountainColor::SetStyle(TFontStyles value)
{
    if (FStyle == value)
        return;
    FStyle = value;
    Changed();
}

void TFountainColor::Assign(const TPersistent *source)
{
    const auto *color = qobject_cast<const TFountainColor *>(source);
    if (color == nullptr) {
        TNotifyPersistent::Assign(source);
        return;
    }
    FBkColor = color->FBkColor;
    FColor = color->FColor;
    FStyle = color->FStyle;
    Changed();
}

// ---------------------------------------------------------------------------------------------

TFountainColorItem::TFountainColorItem(TCollection *collection)
    : TCollectionItem(collection), FItemColor(new TFountainColor(this))
{
    // Reports go to whichever collection holds the item at the time of the change.
    FItemColor->OnChange = [this](QObject *sender) {
        if (auto *notifying = qobject_cast<TNotifyCollection *>(Collection()))
            notifying->ChangedProc(sender);
    };
}

TFountainColorItem::~TFountainColorItem() { FItemColor->OnChange = nullptr; }

void TFountainColorItem::SetItemColor(TFountainColor *value) { FItemColor->Assign(value); }

void TFountainColorItem::Assign(const TPersistent *source)
{
    if (const auto *item = qobject_cast<const TFountainColorItem *>(source))
        FItemColor->Assign(item->ItemColor());
    else
        TCollectionItem::Assign(source);
}

// ---------------------------------------------------------------------------------------------

TFountainBracketItem::TFountainBracketItem(TCollection *collection)
    : TFountainColorItem(TFountainBracketCollection::CheckRoom(collection))
{
}

TFountainBracketItem::~TFountainBracketItem() = default;

QString TFountainBracketItem::LeftBracketUnicode() const { return cp932::ToUnicode(FLeftBracket); }

void TFountainBracketItem::SetLeftBracketUnicode(const QString &value)
{
    FLeftBracket = cp932::FromUnicode(value);
}

QString TFountainBracketItem::RightBracketUnicode() const { return cp932::ToUnicode(FRightBracket); }

void TFountainBracketItem::SetRightBracketUnicode(const QString &value)
{
    FRightBracket = cp932::FromUnicode(value);
}

void TFountainBracketItem::Assign(const TPersistent *source)
{
    if (const auto *item = qobject_cast<const TFountainBracketItem *>(source)) {
        FLeftBracket = item->FLeftBracket;
        FRightBracket = item->FRightBracket;
    }
    TFountainColorItem::Assign(source);
}

// ---------------------------------------------------------------------------------------------

TFountainBracketCollection::TFountainBracketCollection(QObject *owner)
    : TFountainBracketCollection(FactoryOf<TFountainBracketItem>(), owner)
{
}

TFountainBracketCollection::TFountainBracketCollection(ItemFactory factory, QObject *owner)
    : TNotifyCollection(std::move(factory), owner)
{
}

TFountainBracketCollection::~TFountainBracketCollection() = default;

TFountainBracketItem *TFountainBracketCollection::BracketItem(int index) const
{
    return static_cast<TFountainBracketItem *>(Items(index));
}

TFountainBracketItem *TFountainBracketCollection::AddBracket(const std::string &left,
                                                             const std::string &right)
{
    BeginUpdate();
    TFountainBracketItem *item = nullptr;
    try {
        item = static_cast<TFountainBracketItem *>(Add());
        item->SetLeftBracket(left);
        item->SetRightBracket(right);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    return item;
}

TCollection *TFountainBracketCollection::CheckRoom(TCollection *collection)
{
    // Every way of adding an item (Add, Insert, an item made with the collection) passes the
    // item's constructor, so the limit is checked there, before the item joins.
    if (qobject_cast<TFountainBracketCollection *>(collection) != nullptr &&
        collection->Count() >= MaxItems) {
        throw Exception("TFountainBracketCollection\r\nYou can not add item over " +
                        std::to_string(MaxItems));
    }
    return collection;
}
