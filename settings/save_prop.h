// Keeping settings in a file: the storage-independent component TCustomSaveProps, which a window
// owns to save and restore registered properties (Props), its own placement, and single values
// read and written directly by section and key. TIniSaveProps (ini_save_props.h) binds it to an
// ini file.
//
// Scopes: BeginRead/BeginWrite open the storage (if not open) and count; the matching End call
// counts down, and when the count reaches 0 the storage is written if anything was written
// meanwhile, then closed. Each direct read or write opens its own scope, so calls inside an open
// scope share one open storage and the file is written once, when the outermost scope ends.
// (A write made inside a read scope is written too when that scope ends, instead of being lost;
// a scope without writes leaves the file untouched.)
//
// Automatic load and save:
// - AutoLoad: Load runs once after the owner has finished constructing. A queued call does it
//   when the event loop next runs; an owner that wants the settings in place before it is first
//   shown calls Loaded() itself at the end of its constructor, and the queued call then does
//   nothing.
// - AutoSave: Save runs when a window owner receives its close event (the window is still whole
//   then; a refused close only saves the state of the moment), and when the owner is destroyed
//   without having been closed since it was last shown. By then the owner's own class is gone,
//   so properties it declared itself are no longer found and are skipped.
// Errors of an automatic load or save are reported as warnings, never thrown into the event loop.
//
// Misuse that is a programming error (ReadObject, WriteObject or FindValues outside a scope)
// fails an assertion naming "SaveProp" and, in release builds, throws Exception.
#pragma once

#include "classlib/persistent.h"
#include "classlib/string_list.h"
#include "settings/save_prop_items.h"

#include <QFlags>
#include <QObject>

#include <functional>
#include <string>

// A value found in a FindKeys section; set Continue to false to skip the rest of the section.
using TFindOrdValueEvent = std::function<void(QObject *sender, const std::string &section,
                                              const std::string &key, int value, bool &Continue)>;
using TFindStrValueEvent = std::function<void(QObject *sender, const std::string &section,
                                              const std::string &key, const std::string &value,
                                              bool &Continue)>;

class TCustomSaveProps : public TComponent {
    Q_OBJECT
    Q_PROPERTY(bool AutoLoad READ AutoLoad WRITE SetAutoLoad)
    Q_PROPERTY(bool AutoSave READ AutoSave WRITE SetAutoSave)
    Q_PROPERTY(TRestoreKinds RestorePlacement READ RestorePlacement WRITE SetRestorePlacement)
    Q_PROPERTY(TProps *Props READ Props WRITE SetProps)
    Q_PROPERTY(TStrings *FindKeys READ FindKeys WRITE SetFindKeys)
    Q_CLASSINFO("Default.AutoLoad", "True")
    Q_CLASSINFO("Default.AutoSave", "True")
    Q_CLASSINFO("Default.RestorePlacement", "[]")
public:
    enum class TRestoreKind { Enabled = 0x1, AllowMinimize = 0x2, AllowMaximize = 0x4 };
    Q_DECLARE_FLAGS(TRestoreKinds, TRestoreKind)
    Q_FLAG(TRestoreKinds)

    explicit TCustomSaveProps(QObject *owner = nullptr);
    ~TCustomSaveProps() override;

    bool AutoLoad() const { return FAutoLoad; }
    void SetAutoLoad(bool autoLoad) { FAutoLoad = autoLoad; }
    bool AutoSave() const { return FAutoSave; }
    void SetAutoSave(bool autoSave);
    TRestoreKinds RestorePlacement() const { return FRestorePlacement; }
    // Raises "Owner が TForm でないと設定できません" (keeping the old value) for Enabled when the
    // owner is not a widget.
    void SetRestorePlacement(TRestoreKinds kinds);
    TProps *Props() const { return FProps; }
    void SetProps(TProps *props);
    TStrings *FindKeys() const { return FFindKeys; }
    void SetFindKeys(TStrings *keys);

    TNotifyEvent OnBeforeLoad;
    TNotifyEvent OnAfterLoad;
    TNotifyEvent OnAfterSave;
    TFindOrdValueEvent OnFindOrdValue;
    TFindStrValueEvent OnFindStrValue;

    // Direct access; each call is complete in itself. Missing values and unparsable numbers read
    // as 0 or empty. Writes outside Save raise the duplicate error when a registered item is kept
    // under the same section and key.
    virtual int ReadInteger(const std::string &section, const std::string &key) = 0;
    virtual std::string ReadString(const std::string &section, const std::string &key) = 0;
    virtual double ReadFloat(const std::string &section, const std::string &key) = 0;
    virtual void WriteInteger(const std::string &section, const std::string &key, int value) = 0;
    virtual void WriteString(const std::string &section, const std::string &key, const std::string &value) = 0;
    virtual void WriteFloat(const std::string &section, const std::string &key, double value) = 0;
    // The object's published properties read back from / written to numbered keys key0, key1,
    // ... of section. Only inside an open scope.
    virtual void ReadObject(const std::string &section, const std::string &key, QObject &object) = 0;
    virtual void WriteObject(const std::string &section, const std::string &key, QObject &object) = 0;
    // Reports the entries of section to OnFindOrdValue / OnFindStrValue. Only inside an open scope.
    virtual void FindValues(const std::string &section) = 0;
    virtual void BeginRead() = 0;
    virtual void EndRead() = 0;
    virtual void BeginWrite() = 0;
    virtual void EndWrite() = 0;
    // Reads every registered property, the FindKeys sections and the placement.
    virtual void Load();
    // Writes every registered property and the placement (nothing while loading).
    virtual void Save();
    virtual bool ValueExists(const std::string &section, const std::string &key) = 0;

    // Runs the automatic load once (see the top of this file); later calls do nothing.
    void Loaded();

    bool Loading() const { return FLoading; }
    bool Saving() const { return FSaving; }

protected:
    // Raises the duplicate error when a valid item is kept under section and key (not while
    // saving).
    void CheckDuplicate(const std::string &section, const std::string &key);
    // The assertion for operations that need an open scope.
    void RequireScope(bool open, const char *operation) const;
    // Hands one found entry to the find events as Load describes.
    void ReportFoundValue(const std::string &section, const std::string &key, const std::string &value,
                          bool &Continue);

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void ReadItem(TProp &item);
    void WriteItem(TProp &item);
    void RestoreWindowPlacement();
    void SaveWindowPlacement();
    void InstallAutoSave();
    void RemoveAutoSave();
    void OwnerDestroyed();
    // Runs an automatic load or save, turning its errors into warnings.
    void RunAutomatically(void (TCustomSaveProps::*operation)(), const char *what);

    bool FAutoLoad = true;
    bool FAutoSave = true;
    TRestoreKinds FRestorePlacement;
    TProps *FProps;
    TStringList *FFindKeys;
    bool FLoading = false;
    bool FSaving = false;
    bool FLoadedOnce = false;
    bool FSavedOnClose = false;
    QMetaObject::Connection FOwnerDestroyed;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TCustomSaveProps::TRestoreKinds)

using TRestoreKind = TCustomSaveProps::TRestoreKind;
using TRestoreKinds = TCustomSaveProps::TRestoreKinds;
