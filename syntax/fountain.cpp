// The fountain base: construction, the owned settings objects and their reports, parser
// creation and the walk over the colours reachable through published properties.
#include "syntax/fountain.h"

#include "classlib/published_properties.h"

#include <unordered_set>

TFountain::TFountain(QObject *owner, TDeferInitialize) : TFileExtComponent(owner) {}

TFountain::~TFountain()
{
    // Nothing reports into the change list while the fountain is taken apart.
    if (FBrackets != nullptr)
        FBrackets->OnChange = nullptr;
    if (FReserve != nullptr)
        FReserve->OnChange = nullptr;
    delete FNotifyEventList;
    delete FBrackets;
    delete FReserveWordList;
    delete FReserve;
}

void TFountain::Initialize()
{
    FNotifyEventList = new TNotifyEventList(this);
    FBrackets = NewBrackets();
    InitBrackets();
    FReserveWordList = CreateSortedList();
    InitReserveWords();
    CreateColors();
}

TFountainColor *TFountain::NewColor()
{
    auto *color = new TFountainColor(this);
    color->OnChange = FNotifyEventList->ChangedHandler();
    return color;
}

void TFountain::CreateColors() { SetReserveColor(NewColor()); }

void TFountain::SetReserveColor(TFountainColor *color)
{
    delete FReserve;
    FReserve = color;
}

TFountainBracketCollection *TFountain::NewBrackets()
{
    auto *brackets = new TFountainBracketCollection(this);
    brackets->OnChange = FNotifyEventList->ChangedHandler();
    return brackets;
}

void TFountain::InitBrackets() {}

void TFountain::InitReserveWords() {}

void TFountain::SetBrackets(TFountainBracketCollection *value)
{
    if (value != FBrackets)
        FBrackets->Assign(value);
}

void TFountain::SetReserve(TFountainColor *value)
{
    if (value != FReserve)
        FReserve->Assign(value);
}

void TFountain::SetReserveWordList(TStrings *value)
{
    if (value == nullptr)
        FReserveWordList->Clear();
    else if (value != FReserveWordList)
        FReserveWordList->Assign(value);
    FNotifyEventList->ChangedProc(this);
}

std::unique_ptr<TFountainParser> TFountain::CreateParser() { return ParserClass()(this); }

bool TFountain::HasItalicStyle(const QObject *object) const
{
    bool italic = false;
    syntax::ForEachFountainColor(object, [&italic](TFountainColor *color) {
        if (color->Style().testFlag(fsItalic))
            italic = true;
    });
    return italic;
}

namespace syntax {

namespace {

void Walk(const QObject *object, const std::function<void(TFountainColor *)> &visit,
          std::unordered_set<const QObject *> &seen)
{
    if (object == nullptr || !seen.insert(object).second)
        return;
    if (auto *color = qobject_cast<TFountainColor *>(const_cast<QObject *>(object)))
        visit(color);
    if (const auto *collection = qobject_cast<const TCollection *>(object)) {
        for (int i = 0; i < collection->Count(); ++i)
            Walk(collection->Items(i), visit, seen);
    }
    for (const QMetaProperty &property : classlib::PublishedProperties(*object->metaObject())) {
        const QObject *value = classlib::ObjectValue(*object, property);
        // Settings objects belong to the object; other components are only referred to.
        if (qobject_cast<const TPersistent *>(value) != nullptr &&
            qobject_cast<const TComponent *>(value) == nullptr)
            Walk(value, visit, seen);
    }
}

} // namespace

void ForEachFountainColor(const QObject *root, const std::function<void(TFountainColor *)> &visit)
{
    std::unordered_set<const QObject *> seen;
    Walk(root, visit, seen);
}

} // namespace syntax
