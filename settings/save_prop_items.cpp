// Registered properties: the items, their derived kind and key, and the collection.
#include "settings/save_prop_items.h"

#include "classlib/cp932.h"

#include <QStringList>

namespace settings {

bool SameName(const QString &a, const QString &b)
{
    return cp932::SameText(cp932::FromUnicode(a), cp932::FromUnicode(b));
}

} // namespace settings

TProp::TProp(TCollection *collection) : TCollectionItem(collection) {}

TProp::~TProp() = default;

void TProp::Assign(const TPersistent *source)
{
    const auto *item = qobject_cast<const TProp *>(source);
    if (item == nullptr) {
        TCollectionItem::Assign(source);
        return;
    }
    // PropName first, so that SetCompo keeps it when the component has it.
    FPropName = item->FPropName;
    FSectionName = item->FSectionName;
    FKeyName = item->FKeyName;
    FEnabled = item->FEnabled;
    SetCompo(item->FCompo);
    ItemChanged();
}

void TProp::SetCompo(QObject *compo)
{
    if (FCompo == compo) return;
    if (FCompo) disconnect(FCompo, &QObject::destroyed, this, nullptr);
    FCompo = compo;
    if (compo != nullptr) {
        if (!settings::FindSaveableProperty(*compo, FPropName)) FPropName.clear();
        // The QPointer turns null by itself; the items only need recomputing.
        connect(compo, &QObject::destroyed, this, [this] { ItemChanged(); });
    }
    ItemChanged();
}

void TProp::SetPropName(const QString &name)
{
    if (FPropName == name) return;
    FPropName = name;
    ItemChanged();
}

void TProp::SetSectionName(const QString &name)
{
    if (FSectionName == name) return;
    FSectionName = name;
    ItemChanged();
}

void TProp::SetKeyName(const QString &name)
{
    if (FKeyName == name) return;
    FKeyName = name;
    ItemChanged();
}

void TProp::SetEnabled(bool enabled)
{
    if (FEnabled == enabled) return;
    FEnabled = enabled;
    ItemChanged();
}

void TProp::ItemChanged()
{
    if (Collection() != nullptr)
        TCollectionItem::Changed(false);
    else
        FValueKind = Valid() ? settings::ValueKindOf(*settings::FindSaveableProperty(*FCompo, FPropName))
                             : settings::TValueKind::None;
}

bool TProp::Valid() const
{
    return FEnabled && FCompo && !FPropName.isEmpty() && settings::FindSaveableProperty(*FCompo, FPropName);
}

QString TProp::Section() const
{
    if (!FSectionName.isEmpty()) return FSectionName;
    if (!FCompo) return {};
    if (!FCompo->objectName().isEmpty()) return FCompo->objectName();
    return QString::fromLatin1(FCompo->metaObject()->className());
}

QString TProp::DisplayName() const
{
    return (FCompo ? FCompo->objectName() : QString()) + QLatin1Char('.') + FPropName;
}

TProps::TProps(QObject *owner) : TCollection(FactoryOf<TProp>(), owner) {}

TProps::~TProps() = default;

// An item still being constructed is not yet a TProp (its base reports the insertion): null then.
TProp *TProps::Items(int index) const { return qobject_cast<TProp *>(TCollection::Items(index)); }

TProp *TProps::Add() { return static_cast<TProp *>(TCollection::Add()); }

void TProps::Update(TCollectionItem *) { Recompute(); }

void TProps::Recompute()
{
    for (int i = 0; i < Count(); ++i) {
        if (Items(i) == nullptr) continue;
        TProp &item = *Items(i);
        const std::optional<QMetaProperty> property =
            item.FCompo ? settings::FindSaveableProperty(*item.FCompo, item.FPropName) : std::nullopt;
        item.FValueKind = property ? settings::ValueKindOf(*property) : settings::TValueKind::None;
        const QString base = item.FKeyName.isEmpty() ? item.FPropName : item.FKeyName;
        item.FKey = base;
        if (!item.Valid()) continue;
        const QString section = item.Section();
        for (int suffix = 1;; ++suffix) {
            bool taken = false;
            for (int j = 0; j < i && !taken; ++j) {
                const TProp *earlier = Items(j);
                taken = earlier != nullptr && earlier->Valid() && settings::SameName(earlier->Section(), section) &&
                        settings::SameName(earlier->FKey, item.FKey);
            }
            if (!taken) break;
            item.FKey = base + QString::number(suffix);
        }
    }
}

TProp *TProps::FindValid(const QString &section, const QString &key)
{
    for (int i = 0; i < Count(); ++i) {
        TProp *item = Items(i);
        if (item != nullptr && item->Valid() && settings::SameName(item->Section(), section) && settings::SameName(item->Key(), key))
            return item;
    }
    return nullptr;
}

QString TProps::AttrName(int index)
{
    static const QStringList names{QStringLiteral("Property"), QStringLiteral("Section"), QStringLiteral("Key")};
    return index >= 0 && index < names.size() ? names[index] : QString();
}

QString TProps::ItemAttr(const TProp &item, int index)
{
    switch (index) {
    case 0: return item.DisplayName();
    case 1: return item.Section();
    case 2: return item.Key();
    default: return {};
    }
}
