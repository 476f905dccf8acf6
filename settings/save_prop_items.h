// The registered properties of the ini persistence: TProp names one published property of one
// component and where it is kept (section and key); TProps is their collection.
//
// Each item's value kind and effective key are derived from the others and recomputed by the
// collection whenever an item changes and before every load or save (a component may have been
// renamed or destroyed since). The effective key is the key (KeyName, or PropName when empty);
// when an earlier valid item already uses the same section and key (letter case ignored), the
// digits 1, 2, 3 ... are appended until the pair is unique, so two "Text" properties kept in one
// section become Text and Text1.
#pragma once

#include "classlib/collection.h"
#include "settings/property_value.h"

#include <QPointer>
#include <QString>

class TProps;

class TProp : public TCollectionItem {
    Q_OBJECT
    // A reference, not an owned object: neither streamed nor copied by the default Assign.
    Q_PROPERTY(QObject *Compo READ Compo WRITE SetCompo STORED false)
    Q_PROPERTY(QString PropName READ PropName WRITE SetPropName)
    Q_PROPERTY(QString SectionName READ SectionName WRITE SetSectionName)
    Q_PROPERTY(QString KeyName READ KeyName WRITE SetKeyName)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_CLASSINFO("Default.Enabled", "True")
public:
    explicit TProp(TCollection *collection = nullptr);
    ~TProp() override;

    // Copies all five properties, the component reference included.
    void Assign(const TPersistent *source) override;

    QObject *Compo() const { return FCompo; }
    // Clears PropName when the new component has no such property. The item notices the
    // component's destruction and then behaves as if Compo were none.
    void SetCompo(QObject *compo);
    QString PropName() const { return FPropName; }
    void SetPropName(const QString &name);
    QString SectionName() const { return FSectionName; }
    void SetSectionName(const QString &name);
    QString KeyName() const { return FKeyName; }
    void SetKeyName(const QString &name);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool enabled);

    // Compo set, PropName a saveable property of it, Enabled.
    bool Valid() const;
    // The kind of the named property (None when the item names no property).
    settings::TValueKind ValueKind() const { return FValueKind; }
    // SectionName, or else Compo's name, or else its class name.
    QString Section() const;
    // See the top of this file.
    QString Key() const { return FKey; }
    // "component.property", for lists of items.
    QString DisplayName() const;

private:
    friend class TProps;
    void ItemChanged();

    QPointer<QObject> FCompo;
    QString FPropName;
    QString FSectionName;
    QString FKeyName;
    bool FEnabled = true;
    settings::TValueKind FValueKind = settings::TValueKind::None;
    QString FKey;
};

class TProps : public TCollection {
    Q_OBJECT
public:
    explicit TProps(QObject *owner = nullptr);
    ~TProps() override;

    TProp *Items(int index) const;
    TProp *Add() override;

    // Recomputes every item's value kind and effective key, in item order.
    void Recompute();
    // The valid item kept under section and key (letter case ignored), or null.
    TProp *FindValid(const QString &section, const QString &key);

    // The columns of a list of items: "Property", "Section" and "Key".
    static int AttrCount() { return 3; }
    static QString AttrName(int index);
    // The text of column index for an item: its DisplayName, Section or Key.
    static QString ItemAttr(const TProp &item, int index);

protected:
    void Update(TCollectionItem *item) override;
};

namespace settings {
// Section and key names compare as the ini file compares them: code page 932, a-z folded.
bool SameName(const QString &a, const QString &b);
} // namespace settings
