// Settings objects used by the class-library tests: one property of every kind the stream
// carries, nested objects with change notification, a string list and a collection.
#pragma once

#include "classlib/collection.h"
#include "classlib/graphics.h"
#include "classlib/persistent.h"
#include "classlib/string_list.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

// A colour triple that reports each change once to its OnChange, deferred in an update scope.
class TSampleColor : public TPersistent {
    Q_OBJECT
    Q_PROPERTY(TColor BkColor READ BkColor WRITE SetBkColor)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(classlib::TFontStyles Style READ Style WRITE SetStyle)
public:
    explicit TSampleColor(QObject *parent = nullptr) : TPersistent(parent) {}

    TColor BkColor() const { return FBkColor; }
    void SetBkColor(TColor value) { Store(FBkColor, value); }
    TColor Color() const { return FColor; }
    void SetColor(TColor value) { Store(FColor, value); }
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles value) { Store(FStyle, value); }

    void BeginUpdate() override { ++FUpdateCount; }
    void EndUpdate() override
    {
        if (--FUpdateCount == 0 && FPending) {
            FPending = false;
            Changed();
        }
    }

    TNotifyEvent OnChange;

private:
    template <class T>
    void Store(T &field, T value)
    {
        if (field == value)
            return;
        field = value;
        Changed();
    }
    void Changed()
    {
        if (FUpdateCount > 0) {
            FPending = true;
            return;
        }
        if (OnChange)
            OnChange(this);
    }

    TColor FBkColor = clNone;
    TColor FColor = clNone;
    TFontStyles FStyle;
    int FUpdateCount = 0;
    bool FPending = false;
};

// A collection item like the editor's bracket pairs.
class TSampleItem : public TCollectionItem {
    Q_OBJECT
    Q_PROPERTY(TSampleColor *ItemColor READ ItemColor WRITE SetItemColor)
    Q_PROPERTY(QString LeftBracket READ LeftBracket WRITE SetLeftBracket)
    Q_PROPERTY(QString RightBracket READ RightBracket WRITE SetRightBracket)
public:
    explicit TSampleItem(TCollection *collection = nullptr)
        : TCollectionItem(collection), FItemColor(new TSampleColor(this))
    {
    }

    TSampleColor *ItemColor() const { return FItemColor; }
    void SetItemColor(TSampleColor *value) { FItemColor->Assign(value); }
    QString LeftBracket() const { return FLeft; }
    void SetLeftBracket(const QString &value) { FLeft = value; }
    QString RightBracket() const { return FRight; }
    void SetRightBracket(const QString &value) { FRight = value; }

private:
    TSampleColor *FItemColor;
    QString FLeft;
    QString FRight;
};

// A collection that counts its change reports.
class TSampleCollection : public TCollection {
    Q_OBJECT
public:
    explicit TSampleCollection(QObject *owner = nullptr)
        : TCollection(FactoryOf<TSampleItem>(), owner)
    {
    }
    TSampleItem *Item(int index) const { return static_cast<TSampleItem *>(Items(index)); }

    int Updates = 0;

protected:
    void Update(TCollectionItem *) override { ++Updates; }
};

// A settings object with change notification that owns a nested one: a change of the nested
// colour reaches the owner's OnChange.
class TSampleSettings : public TPersistent {
    Q_OBJECT
    Q_PROPERTY(TSampleColor *Colors READ Colors WRITE SetColors)
    Q_PROPERTY(int Width READ Width WRITE SetWidth)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
public:
    explicit TSampleSettings(QObject *parent = nullptr)
        : TPersistent(parent), FColors(new TSampleColor(this))
    {
        FColors->OnChange = [this](QObject *) { Changed(); };
    }

    TSampleColor *Colors() const { return FColors; }
    void SetColors(TSampleColor *value) { FColors->Assign(value); }
    int Width() const { return FWidth; }
    void SetWidth(int value)
    {
        if (value != FWidth) {
            FWidth = value;
            Changed();
        }
    }
    bool Visible() const { return FVisible; }
    void SetVisible(bool value)
    {
        if (value != FVisible) {
            FVisible = value;
            Changed();
        }
    }

    void BeginUpdate() override { ++FUpdateCount; }
    void EndUpdate() override
    {
        if (--FUpdateCount == 0 && FPending) {
            FPending = false;
            Changed();
        }
    }

    int Notifications = 0;

private:
    void Changed()
    {
        if (FUpdateCount > 0)
            FPending = true;
        else
            ++Notifications;
    }

    TSampleColor *FColors;
    int FWidth = 0;
    bool FVisible = false;
    int FUpdateCount = 0;
    bool FPending = false;
};

// One published property of every kind the stream carries.
class TSample : public TComponent {
    Q_OBJECT
public:
    enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
    Q_ENUM(TScrollStyle)
    enum TSampleOption { soAutoIndent = 0x1, soOverwrite = 0x2, soTabs = 0x4 };
    Q_DECLARE_FLAGS(TSampleOptions, TSampleOption)
    Q_FLAG(TSampleOptions)

private:
    Q_PROPERTY(bool WordWrap MEMBER WordWrap)
    Q_PROPERTY(int Count MEMBER Count)
    Q_PROPERTY(qint64 Big MEMBER Big)
    Q_PROPERTY(double Ratio MEMBER Ratio)
    Q_PROPERTY(float Scale MEMBER Scale)
    Q_PROPERTY(QString Caption MEMBER Caption)
    Q_PROPERTY(QByteArray Data MEMBER Data)
    Q_PROPERTY(QDateTime Stamp MEMBER Stamp)
    Q_PROPERTY(TColor Color MEMBER Color)
    Q_PROPERTY(TCursor Cursor MEMBER Cursor)
    Q_PROPERTY(TFontCharset Charset MEMBER Charset)
    Q_PROPERTY(TScrollStyle ScrollBars MEMBER ScrollBars)
    Q_PROPERTY(TSampleOptions Options READ GetOptions WRITE SetOptions)
    Q_PROPERTY(QStringList Words MEMBER Words)
    Q_PROPERTY(QString Hidden MEMBER Hidden STORED false)
    Q_PROPERTY(TFont *Font READ Font)
    Q_PROPERTY(TSampleSettings *Settings READ Settings WRITE SetSettings)
    Q_PROPERTY(TStrings *Lines READ Lines)
    Q_PROPERTY(TSampleCollection *Brackets READ Brackets)
    Q_CLASSINFO("Default.ScrollBars", "ssNone")
    Q_CLASSINFO("Default.Count", "0")

public:
    explicit TSample(QObject *owner = nullptr)
        : TComponent(owner), FFont(new TFont(this)), FSettings(new TSampleSettings(this)),
          FLines(new TStringList(this)), FBrackets(new TSampleCollection(this))
    {
    }

    TFont *Font() const { return FFont; }
    TSampleSettings *Settings() const { return FSettings; }
    void SetSettings(TSampleSettings *value) { FSettings->Assign(value); }
    TStringList *Lines() const { return FLines; }
    TSampleCollection *Brackets() const { return FBrackets; }
    TSampleOptions GetOptions() const { return Options; }
    void SetOptions(TSampleOptions value) { Options = value; }

    bool WordWrap = false;
    int Count = 0;
    qint64 Big = 0;
    double Ratio = 0;
    float Scale = 0;
    QString Caption;
    QByteArray Data;
    QDateTime Stamp;
    TColor Color = clWindow;
    TCursor Cursor = crDefault;
    TFontCharset Charset = DEFAULT_CHARSET;
    TScrollStyle ScrollBars = ssNone;
    TSampleOptions Options;
    QStringList Words;
    QString Hidden;

private:
    TFont *FFont;
    TSampleSettings *FSettings;
    TStringList *FLines;
    TSampleCollection *FBrackets;
};
Q_DECLARE_OPERATORS_FOR_FLAGS(TSample::TSampleOptions)

// The small component of the byte-exact stream test.
class TTinyFont : public TPersistent {
    Q_OBJECT
    Q_PROPERTY(int Size MEMBER Size)
public:
    using TPersistent::TPersistent;
    int Size = 0;
};

class TTiny : public TComponent {
    Q_OBJECT
public:
    enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
    Q_ENUM(TScrollStyle)

private:
    Q_PROPERTY(int Width MEMBER Width)
    Q_PROPERTY(TColor Color MEMBER Color)
    Q_PROPERTY(TCursor Cursor MEMBER Cursor)
    Q_PROPERTY(bool WordWrap MEMBER WordWrap)
    Q_PROPERTY(QString Caption MEMBER Caption)
    Q_PROPERTY(TStrings *Items READ Items)
    Q_PROPERTY(TTinyFont *Font READ Font)
    Q_PROPERTY(TScrollStyle ScrollBars MEMBER ScrollBars)
    Q_CLASSINFO("Default.ScrollBars", "ssNone")

public:
    explicit TTiny(QObject *owner = nullptr)
        : TComponent(owner), FItems(new TStringList(this)), FFont(new TTinyFont(this))
    {
    }
    TStringList *Items() const { return FItems; }
    TTinyFont *Font() const { return FFont; }

    int Width = 0;
    TColor Color = clNone;
    TCursor Cursor = crDefault;
    bool WordWrap = false;
    QString Caption;
    TScrollStyle ScrollBars = ssNone;

private:
    TStringList *FItems;
    TTinyFont *FFont;
};
