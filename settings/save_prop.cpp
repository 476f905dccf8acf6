// The storage-independent part of the settings persistence: registered properties, load and
// save, the window placement, and the automatic load and save around the owner's lifetime.
#include "settings/save_prop.h"

#include "classlib/cp932.h"
#include "classlib/errors.h"
#include "classlib/published_properties.h"
#include "settings/number_text.h"
#include "settings/window_placement.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMetaProperty>
#include <QTimer>
#include <QWidget>
#include <QtGlobal>

namespace {

const std::string kPlacementSection = "WindowPlacement";

// Ends a read or write scope on every path out of Load or Save. The normal path calls Close()
// so that a failure to write the file reaches the caller; after an exception the scope is
// closed quietly and the first error is the one reported.
class ScopeCloser {
public:
    ScopeCloser(TCustomSaveProps &props, void (TCustomSaveProps::*end)()) : FProps(props), FEnd(end) {}
    ~ScopeCloser()
    {
        if (FOpen) {
            try {
                (FProps.*FEnd)();
            } catch (const std::exception &) {
            }
        }
    }
    void Close()
    {
        FOpen = false;
        (FProps.*FEnd)();
    }

private:
    TCustomSaveProps &FProps;
    void (TCustomSaveProps::*FEnd)();
    bool FOpen = true;
};

// Sets a flag for the lifetime of a step.
class FlagScope {
public:
    explicit FlagScope(bool &flag) : FFlag(flag) { FFlag = true; }
    ~FlagScope() { FFlag = false; }

private:
    bool &FFlag;
};

std::string Bytes(const QString &text) { return cp932::FromUnicode(text); }

} // namespace

TCustomSaveProps::TCustomSaveProps(QObject *owner)
    : TComponent(owner), FProps(new TProps(this)), FFindKeys(new TStringList(this))
{
    if (owner != nullptr) {
        InstallAutoSave();
        // The owner is still being constructed; the load waits until it is whole.
        QMetaObject::invokeMethod(this, &TCustomSaveProps::Loaded, Qt::QueuedConnection);
    }
}

TCustomSaveProps::~TCustomSaveProps()
{
    RemoveAutoSave();
}

void TCustomSaveProps::SetAutoSave(bool autoSave)
{
    if (FAutoSave == autoSave) return;
    FAutoSave = autoSave;
    if (autoSave)
        InstallAutoSave();
    else
        RemoveAutoSave();
}

void TCustomSaveProps::SetRestorePlacement(TRestoreKinds kinds)
{
    if (kinds.testFlag(TRestoreKind::Enabled) && qobject_cast<QWidget *>(Owner()) == nullptr)
        throw Exception(QStringLiteral("Owner が TForm でないと設定できません"));
    FRestorePlacement = kinds;
}

void TCustomSaveProps::SetProps(TProps *props)
{
    if (props != FProps) FProps->Assign(props);
}

void TCustomSaveProps::SetFindKeys(TStrings *keys)
{
    if (keys != FFindKeys) FFindKeys->Assign(keys);
}

void TCustomSaveProps::Loaded()
{
    if (FLoadedOnce) return;
    FLoadedOnce = true;
    if (FAutoLoad) RunAutomatically(&TCustomSaveProps::Load, "load");
}

void TCustomSaveProps::Load()
{
    if (OnBeforeLoad) {
        // A failing preparation must not keep the settings from loading.
        try {
            OnBeforeLoad(this);
        } catch (const std::exception &) {
        }
    }
    BeginRead();
    ScopeCloser scope(*this, &TCustomSaveProps::EndRead);
    {
        FlagScope loading(FLoading);
        FProps->Recompute();
        for (int i = 0; i < FProps->Count(); ++i)
            if (FProps->Items(i)->Valid()) ReadItem(*FProps->Items(i));
        if (OnFindOrdValue || OnFindStrValue) {
            for (int i = 0; i < FFindKeys->Count(); ++i) FindValues(FFindKeys->Get(i));
        }
        if (FRestorePlacement.testFlag(TRestoreKind::Enabled)) RestoreWindowPlacement();
        if (OnAfterLoad) OnAfterLoad(this);
    }
    scope.Close();
}

void TCustomSaveProps::ReadItem(TProp &item)
{
    QObject &compo = *item.Compo();
    const QMetaProperty property = *settings::FindSaveableProperty(compo, item.PropName());
    const std::string section = Bytes(item.Section());
    const std::string key = Bytes(item.Key());
    switch (item.ValueKind()) {
    case settings::TValueKind::Ordinal:
        if (ValueExists(section, key)) settings::WriteOrdinal(compo, property, ReadInteger(section, key));
        break;
    case settings::TValueKind::String:
        if (ValueExists(section, key)) property.write(&compo, cp932::ToUnicode(ReadString(section, key)));
        break;
    case settings::TValueKind::Float:
        if (ValueExists(section, key)) {
            QVariant value(ReadFloat(section, key));
            if (value.convert(property.metaType())) property.write(&compo, value);
        }
        break;
    case settings::TValueKind::Object:
        if (QObject *object = classlib::ObjectValue(compo, property)) ReadObject(section, key, *object);
        break;
    case settings::TValueKind::None:
        break;
    }
}

void TCustomSaveProps::Save()
{
    if (FLoading) return;
    BeginWrite();
    ScopeCloser scope(*this, &TCustomSaveProps::EndWrite);
    {
        FlagScope saving(FSaving);
        FProps->Recompute();
        for (int i = 0; i < FProps->Count(); ++i)
            if (FProps->Items(i)->Valid()) WriteItem(*FProps->Items(i));
        if (FRestorePlacement.testFlag(TRestoreKind::Enabled)) SaveWindowPlacement();
    }
    if (OnAfterSave) OnAfterSave(this);
    scope.Close();
}

void TCustomSaveProps::WriteItem(TProp &item)
{
    QObject &compo = *item.Compo();
    const QMetaProperty property = *settings::FindSaveableProperty(compo, item.PropName());
    const std::string section = Bytes(item.Section());
    const std::string key = Bytes(item.Key());
    switch (item.ValueKind()) {
    case settings::TValueKind::Ordinal:
        WriteInteger(section, key, settings::ReadOrdinal(compo, property));
        break;
    case settings::TValueKind::String:
        WriteString(section, key, Bytes(property.read(&compo).toString()));
        break;
    case settings::TValueKind::Float:
        WriteFloat(section, key, property.read(&compo).toDouble());
        break;
    case settings::TValueKind::Object:
        if (QObject *object = classlib::ObjectValue(compo, property)) WriteObject(section, key, *object);
        break;
    case settings::TValueKind::None:
        break;
    }
}

namespace {

const char *const kPlacementKeys[] = {"Left", "Top", "Right", "Bottom", "State"};

} // namespace

void TCustomSaveProps::RestoreWindowPlacement()
{
    auto *window = qobject_cast<QWidget *>(Owner());
    if (window == nullptr) return;
    const std::string prefix = Bytes(window->objectName());
    for (const char *key : kPlacementKeys)
        if (!ValueExists(kPlacementSection, prefix + key)) return;
    settings::TWindowPlacement placement;
    placement.Left = ReadInteger(kPlacementSection, prefix + "Left");
    placement.Top = ReadInteger(kPlacementSection, prefix + "Top");
    placement.Right = ReadInteger(kPlacementSection, prefix + "Right");
    placement.Bottom = ReadInteger(kPlacementSection, prefix + "Bottom");
    placement.State = ReadInteger(kPlacementSection, prefix + "State");
    if ((placement.State == 1 && !FRestorePlacement.testFlag(TRestoreKind::AllowMinimize)) ||
        (placement.State == 2 && !FRestorePlacement.testFlag(TRestoreKind::AllowMaximize)) ||
        placement.State < 0 || placement.State > 2)
        placement.State = 0;
    settings::ApplyPlacement(*window, placement);
}

void TCustomSaveProps::SaveWindowPlacement()
{
    const auto *window = qobject_cast<const QWidget *>(Owner());
    if (window == nullptr) return;
    const std::string prefix = Bytes(window->objectName());
    const settings::TWindowPlacement placement = settings::PlacementOf(*window);
    WriteInteger(kPlacementSection, prefix + "Left", placement.Left);
    WriteInteger(kPlacementSection, prefix + "Top", placement.Top);
    WriteInteger(kPlacementSection, prefix + "Right", placement.Right);
    WriteInteger(kPlacementSection, prefix + "Bottom", placement.Bottom);
    WriteInteger(kPlacementSection, prefix + "State", placement.State);
}

void TCustomSaveProps::CheckDuplicate(const std::string &section, const std::string &key)
{
    if (FSaving) return;
    FProps->Recompute();
    if (FProps->FindValid(cp932::ToUnicode(section), cp932::ToUnicode(key)) == nullptr) return;
    throw Exception(QStringLiteral("セクション名 %1 とキー名 %2 の組み合わせが重複しています")
                        .arg(cp932::ToUnicode(section), cp932::ToUnicode(key)));
}

void TCustomSaveProps::RequireScope(bool open, const char *operation) const
{
    if (open) return;
    Q_ASSERT_X(open, "SaveProp", operation);
    throw Exception(std::string("SaveProp: ") + operation + " は BeginRead/BeginWrite の中でしか呼べません");
}

void TCustomSaveProps::ReportFoundValue(const std::string &section, const std::string &key,
                                        const std::string &value, bool &Continue)
{
    if (key.empty() || value.empty()) return;
    // Values like "0x1F" and "$1F" are hexadecimal integers; see ParseInteger.
    if (OnFindOrdValue) {
        if (const std::optional<int> number = settings::ParseInteger(cp932::LowerCase(value))) {
            OnFindOrdValue(this, section, key, *number, Continue);
            return;
        }
    }
    if (OnFindStrValue) OnFindStrValue(this, section, key, value, Continue);
}

void TCustomSaveProps::InstallAutoSave()
{
    QObject *owner = Owner();
    if (owner == nullptr || !FAutoSave) return;
    owner->installEventFilter(this);
    FOwnerDestroyed = connect(owner, &QObject::destroyed, this, &TCustomSaveProps::OwnerDestroyed,
                              Qt::DirectConnection);
}

void TCustomSaveProps::RemoveAutoSave()
{
    if (QObject *owner = Owner()) owner->removeEventFilter(this);
    disconnect(FOwnerDestroyed);
}

bool TCustomSaveProps::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Owner() && FAutoSave) {
        if (event->type() == QEvent::Close) {
            RunAutomatically(&TCustomSaveProps::Save, "save");
            FSavedOnClose = true;
        } else if (event->type() == QEvent::Show) {
            FSavedOnClose = false;
        }
    }
    return TComponent::eventFilter(watched, event);
}

void TCustomSaveProps::OwnerDestroyed()
{
    if (FAutoSave && !FSavedOnClose) RunAutomatically(&TCustomSaveProps::Save, "save");
}

void TCustomSaveProps::RunAutomatically(void (TCustomSaveProps::*operation)(), const char *what)
{
    try {
        (this->*operation)();
    } catch (const std::exception &error) {
        qWarning("SaveProp: automatic %s failed: %s", what, error.what());
    }
}
