// The colour and bracket settings of a fountain: a colour (background, foreground, font style),
// a collection item holding a colour, a bracket item (left and right bracket text plus colour)
// and the bracket collection (at most 14 items).
#pragma once

#include "classlib/graphics.h"
#include "syntax/notify_persistent.h"

#include <QString>

#include <string>

// A colour for a class of tokens. clNone means "not set: the editor's own colour applies".
class TFountainColor : public TNotifyPersistent {
    Q_OBJECT
    Q_PROPERTY(TColor BkColor READ BkColor WRITE SetBkColor)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(classlib::TFontStyles Style READ Style WRITE SetStyle)
public:
    explicit TFountainColor(QObject *parent = nullptr);
    ~TFountainColor() override;

    TColor BkColor() const { return FBkColor; }
    void SetBkColor(TColor value);
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles value);

    // From another colour: all three attributes, one change report.
    void Assign(const TPersistent *source) override;

private:
    TColor FBkColor = clNone;
    TColor FColor = clNone;
    TFontStyles FStyle;
};

// A collection item holding a colour; the colour's changes are reported to the item's
// collection when that is a notifying collection.
class TFountainColorItem : public TCollectionItem {
    Q_OBJECT
    Q_PROPERTY(TFountainColor *ItemColor READ ItemColor WRITE SetItemColor)
public:
    explicit TFountainColorItem(TCollection *collection = nullptr);
    ~TFountainColorItem() override;

    TFountainColor *ItemColor() const { return FItemColor; }
    void SetItemColor(TFountainColor *value);  // copies

    void Assign(const TPersistent *source) override;

private:
    TFountainColor *FItemColor;
};

// A bracket: text from LeftBracket through RightBracket (possibly over several rows) is one
// token painted with ItemColor. The texts are code page 932 bytes; the published properties
// show them as Unicode.
class TFountainBracketItem : public TFountainColorItem {
    Q_OBJECT
    Q_PROPERTY(QString LeftBracket READ LeftBracketUnicode WRITE SetLeftBracketUnicode)
    Q_PROPERTY(QString RightBracket READ RightBracketUnicode WRITE SetRightBracketUnicode)
public:
    // Raises the bracket limit error when collection already holds the most items it can.
    explicit TFountainBracketItem(TCollection *collection = nullptr);
    ~TFountainBracketItem() override;

    const std::string &LeftBracket() const { return FLeftBracket; }
    void SetLeftBracket(const std::string &value) { FLeftBracket = value; }
    const std::string &RightBracket() const { return FRightBracket; }
    void SetRightBracket(const std::string &value) { FRightBracket = value; }
    QString LeftBracketUnicode() const;
    void SetLeftBracketUnicode(const QString &value);
    QString RightBracketUnicode() const;
    void SetRightBracketUnicode(const QString &value);

    void Assign(const TPersistent *source) override;

private:
    std::string FLeftBracket;
    std::string FRightBracket;
};

// The bracket items of a fountain, in the priority order of matching. At most MaxItems items:
// a row stores the index of an open bracket in four bits as index + 2.
class TFountainBracketCollection : public TNotifyCollection {
    Q_OBJECT
public:
    static constexpr int MaxItems = 14;

    explicit TFountainBracketCollection(QObject *owner = nullptr);
    ~TFountainBracketCollection() override;

    TFountainBracketItem *BracketItem(int index) const;
    TFountainBracketItem *AddBracket(const std::string &left, const std::string &right);

    // Raises "TFountainBracketCollection\r\nYou can not add item over 14" when collection is a
    // bracket collection already holding MaxItems items; returns collection.
    static TCollection *CheckRoom(TCollection *collection);

protected:
    TFountainBracketCollection(ItemFactory factory, QObject *owner);
};
