// The editor fountain, its colour slots and its bracket list.
#include "syntax/editor_fountain.h"

#include "classlib/cp932.h"
#include "classlib/published_properties.h"
#include "syntax/editor_parser.h"

TEditorColor::TEditorColor(QObject *parent) : TFountainColor(parent) {}

TEditorColor::~TEditorColor() = default;

// ---------------------------------------------------------------------------------------------

TEditorColors::TEditorColors(TFountain *fountain, QObject *parent)
    : TNotifyPersistent(parent), FFountain(fountain), FAnk(NewSlot()), FComment(NewSlot()),
      FDBCS(NewSlot()), FHit(NewSlot()), FInt(NewSlot()), FMail(NewSlot()), FSelect(NewSlot()),
      FStr(NewSlot()), FSymbol(NewSlot()), FUrl(NewSlot())
{
    FSelect->SetBkColor(clNavy);
    FSelect->SetColor(clWhite);
}

TEditorColors::~TEditorColors()
{
    for (TEditorColor *slot : {FAnk, FComment, FDBCS, FHit, FInt, FMail, FSelect, FStr, FSymbol, FUrl})
        slot->OnChange = nullptr;
}

TEditorColor *TEditorColors::NewSlot()
{
    auto *color = new TEditorColor(this);
    color->OnChange = ChangedHandler();
    return color;
}

TFountainColor *TEditorColors::Reserve() const
{
    return FFountain != nullptr ? FFountain->Reserve() : nullptr;
}

void TEditorColors::SetReserve(TFountainColor *value)
{
    if (TFountainColor *reserve = Reserve(); reserve != nullptr && reserve != value)
        reserve->Assign(value);
}

void TEditorColors::Assign(const TPersistent *source)
{
    const auto *colors = qobject_cast<const TEditorColors *>(source);
    if (colors == nullptr) {
        TNotifyPersistent::Assign(source);
        return;
    }
    // Reserve reports straight into the fountain's change list, so the list is held in one
    // update too: the copy then reaches the listeners once.
    TNotifyPersistent *changeList = FFountain != nullptr ? FFountain->NotifyEventList() : nullptr;
    if (changeList != nullptr)
        changeList->BeginUpdate();
    BeginUpdate();
    try {
        FAnk->Assign(colors->Ank());
        FComment->Assign(colors->Comment());
        FDBCS->Assign(colors->DBCS());
        FHit->Assign(colors->Hit());
        FInt->Assign(colors->Int());
        FMail->Assign(colors->Mail());
        FStr->Assign(colors->Str());
        FSymbol->Assign(colors->Symbol());
        if (colors->Reserve() != nullptr)
            SetReserve(colors->Reserve());
        FUrl->Assign(colors->Url());
        FSelect->Assign(colors->Select());
    } catch (...) {
        EndUpdate();
        if (changeList != nullptr)
            changeList->EndUpdate();
        throw;
    }
    EndUpdate();
    if (changeList != nullptr)
        changeList->EndUpdate();
}

// ---------------------------------------------------------------------------------------------

TEditorBracketCollection::TEditorBracketCollection(QObject *owner)
    : TFountainBracketCollection(FactoryOf<TFountainBracketItem>(), owner)
{
}

TEditorBracketCollection::~TEditorBracketCollection() = default;

void TEditorBracketCollection::SetAllItemBkColor(TColor color)
{
    TUpdateScope scope(*this);
    for (int i = 0; i < Count(); ++i)
        BracketItem(i)->ItemColor()->SetBkColor(color);
}

void TEditorBracketCollection::SetAllItemColor(TColor color)
{
    TUpdateScope scope(*this);
    for (int i = 0; i < Count(); ++i)
        BracketItem(i)->ItemColor()->SetColor(color);
}

void TEditorBracketCollection::SetAllItemStyle(TFontStyles style)
{
    TUpdateScope scope(*this);
    for (int i = 0; i < Count(); ++i)
        BracketItem(i)->ItemColor()->SetStyle(style);
}

// ---------------------------------------------------------------------------------------------

TEditorFountain::TEditorFountain(QObject *owner) : TFountain(owner, TDeferInitialize{})
{
    Initialize();
}

TEditorFountain::TEditorFountain(QObject *owner, TDeferInitialize) : TFountain(owner, TDeferInitialize{})
{
}

TEditorFountain::~TEditorFountain()
{
    if (FColors != nullptr)
        FColors->OnChange = nullptr;
    delete FColors;
    FColors = nullptr;
}

void TEditorFountain::Initialize()
{
    TFountain::Initialize();
    FColors = NewEditorColors();
}

TFountainBracketCollection *TEditorFountain::NewBrackets()
{
    auto *brackets = new TEditorBracketCollection(this);
    brackets->OnChange = NotifyEventList()->ChangedHandler();
    return brackets;
}

TEditorColors *TEditorFountain::NewEditorColors()
{
    auto *colors = new TEditorColors(this, this);
    colors->OnChange = NotifyEventList()->ChangedHandler();
    return colors;
}

TEditorBracketCollection *TEditorFountain::EditorBrackets() const
{
    return qobject_cast<TEditorBracketCollection *>(Brackets());
}

void TEditorFountain::SetColors(TEditorColors *value)
{
    if (value != FColors)
        FColors->Assign(value);
}

TFountainParserClass TEditorFountain::ParserClass() const
{
    return [](TFountain *fountain) -> std::unique_ptr<TFountainParser> {
        return std::make_unique<TEditorParser>(fountain);
    };
}

void TEditorFountain::FieldChanged() { NotifyEventList()->ChangedProc(this); }

void TEditorFountain::SetCommenter(const std::string &value)
{
    if (FCommenter == value)
        return;
    FCommenter = value;
    FieldChanged();
}

void TEditorFountain::SetControlCode(bool value)
{
    if (FControlCode == value)
        return;
    FControlCode = value;
    FieldChanged();
}

void TEditorFountain::SetHexPrefix(const std::string &value)
{
    if (FHexPrefix == value)
        return;
    FHexPrefix = value;
    FieldChanged();
}

void TEditorFountain::SetMail(bool value)
{
    if (FMail == value)
        return;
    FMail = value;
    FieldChanged();
}

void TEditorFountain::SetQuotation(const std::string &value)
{
    if (FQuotation == value)
        return;
    FQuotation = value;
    FieldChanged();
}

void TEditorFountain::SetUrl(bool value)
{
    if (FUrl == value)
        return;
    FUrl = value;
    FieldChanged();
}

QString TEditorFountain::CommenterUnicode() const { return cp932::ToUnicode(FCommenter); }

void TEditorFountain::SetCommenterUnicode(const QString &value)
{
    SetCommenter(cp932::FromUnicode(value));
}

QString TEditorFountain::HexPrefixUnicode() const { return cp932::ToUnicode(FHexPrefix); }

void TEditorFountain::SetHexPrefixUnicode(const QString &value)
{
    SetHexPrefix(cp932::FromUnicode(value));
}

QString TEditorFountain::QuotationUnicode() const { return cp932::ToUnicode(FQuotation); }

void TEditorFountain::SetQuotationUnicode(const QString &value)
{
    SetQuotation(cp932::FromUnicode(value));
}

void TEditorFountain::ChangeAll(const std::function<void(TFountainColor *)> &change)
{
    TUpdateScope scope(*NotifyEventList());
    for (const QMetaProperty &property : classlib::PublishedProperties(*FColors->metaObject())) {
        const QString name = QString::fromLatin1(property.name());
        if (name.compare(QLatin1String("Select"), Qt::CaseInsensitive) == 0 ||
            name.compare(QLatin1String("Hit"), Qt::CaseInsensitive) == 0)
            continue;
        if (auto *color = qobject_cast<TFountainColor *>(classlib::ObjectValue(*FColors, property)))
            change(color);
    }
}

void TEditorFountain::SetAllBkColor(TColor color)
{
    ChangeAll([color](TFountainColor *slot) { slot->SetBkColor(color); });
}

void TEditorFountain::SetAllColor(TColor color)
{
    ChangeAll([color](TFountainColor *slot) { slot->SetColor(color); });
}

void TEditorFountain::SetAllStyle(TFontStyles style)
{
    ChangeAll([style](TFountainColor *slot) { slot->SetStyle(style); });
}
