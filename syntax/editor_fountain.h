// The fountain Kestrim's editors use: reserved words, a line comment, brackets, one quotation
// character for strings, control codes, hexadecimal numbers after a prefix, URLs and mail
// addresses, each class of token painted with one of eleven colour slots.
#pragma once

#include "syntax/fountain.h"

#include <QString>

#include <string>

class TEditorParser;

// A colour slot of the editor fountain.
class TEditorColor : public TFountainColor {
    Q_OBJECT
public:
    explicit TEditorColor(QObject *parent = nullptr);
    ~TEditorColor() override;
};

// The eleven colour slots. Reserve is the fountain's Reserve colour itself (reading gives it,
// writing copies into it); the other ten are owned. Hit and Select are not used by the parser:
// the editor paints search hits and the selection with them.
class TEditorColors : public TNotifyPersistent {
    Q_OBJECT
    Q_PROPERTY(TEditorColor *Ank READ Ank WRITE SetAnk)
    Q_PROPERTY(TEditorColor *Comment READ Comment WRITE SetComment)
    Q_PROPERTY(TEditorColor *DBCS READ DBCS WRITE SetDBCS)
    Q_PROPERTY(TEditorColor *Hit READ Hit WRITE SetHit)
    Q_PROPERTY(TEditorColor *Int READ Int WRITE SetInt)
    Q_PROPERTY(TEditorColor *Mail READ Mail WRITE SetMail)
    Q_PROPERTY(TFountainColor *Reserve READ Reserve WRITE SetReserve)
    Q_PROPERTY(TEditorColor *Select READ Select WRITE SetSelect)
    Q_PROPERTY(TEditorColor *Str READ Str WRITE SetStr)
    Q_PROPERTY(TEditorColor *Symbol READ Symbol WRITE SetSymbol)
    Q_PROPERTY(TEditorColor *Url READ Url WRITE SetUrl)
public:
    // fountain gives the Reserve slot (and the change list that Assign holds in one update).
    explicit TEditorColors(TFountain *fountain, QObject *parent = nullptr);
    ~TEditorColors() override;

    TEditorColor *Ank() const { return FAnk; }
    TEditorColor *Comment() const { return FComment; }
    TEditorColor *DBCS() const { return FDBCS; }
    TEditorColor *Hit() const { return FHit; }
    TEditorColor *Int() const { return FInt; }
    TEditorColor *Mail() const { return FMail; }
    TFountainColor *Reserve() const;
    TEditorColor *Select() const { return FSelect; }
    TEditorColor *Str() const { return FStr; }
    TEditorColor *Symbol() const { return FSymbol; }
    TEditorColor *Url() const { return FUrl; }

    // Setters copy into the existing colour.
    void SetAnk(TEditorColor *value) { FAnk->Assign(value); }
    void SetComment(TEditorColor *value) { FComment->Assign(value); }
    void SetDBCS(TEditorColor *value) { FDBCS->Assign(value); }
    void SetHit(TEditorColor *value) { FHit->Assign(value); }
    void SetInt(TEditorColor *value) { FInt->Assign(value); }
    void SetMail(TEditorColor *value) { FMail->Assign(value); }
    void SetReserve(TFountainColor *value);
    void SetSelect(TEditorColor *value) { FSelect->Assign(value); }
    void SetStr(TEditorColor *value) { FStr->Assign(value); }
    void SetSymbol(TEditorColor *value) { FSymbol->Assign(value); }
    void SetUrl(TEditorColor *value) { FUrl->Assign(value); }

    TFountain *Fountain() const { return FFountain; }

    // From other colour slots: every slot, one change report.
    void Assign(const TPersistent *source) override;

private:
    TEditorColor *NewSlot();

    TFountain *FFountain;
    TEditorColor *FAnk;
    TEditorColor *FComment;
    TEditorColor *FDBCS;
    TEditorColor *FHit;
    TEditorColor *FInt;
    TEditorColor *FMail;
    TEditorColor *FSelect;
    TEditorColor *FStr;
    TEditorColor *FSymbol;
    TEditorColor *FUrl;
};

// The editor's bracket list, with operations that set one attribute of every item's colour.
class TEditorBracketCollection : public TFountainBracketCollection {
    Q_OBJECT
public:
    explicit TEditorBracketCollection(QObject *owner = nullptr);
    ~TEditorBracketCollection() override;

    // Each sets that attribute of every item's ItemColor, with one change report.
    virtual void SetAllItemBkColor(TColor color);
    virtual void SetAllItemColor(TColor color);
    virtual void SetAllItemStyle(TFontStyles style);
};

class TEditorFountain : public TFountain {
    Q_OBJECT
    Q_PROPERTY(TEditorColors *Colors READ Colors WRITE SetColors)
    Q_PROPERTY(QString Commenter READ CommenterUnicode WRITE SetCommenterUnicode)
    Q_PROPERTY(bool ControlCode READ ControlCode WRITE SetControlCode)
    Q_PROPERTY(QString HexPrefix READ HexPrefixUnicode WRITE SetHexPrefixUnicode)
    Q_PROPERTY(bool Mail READ Mail WRITE SetMail)
    Q_PROPERTY(QString Quotation READ QuotationUnicode WRITE SetQuotationUnicode)
    Q_PROPERTY(bool Url READ Url WRITE SetUrl)
public:
    explicit TEditorFountain(QObject *owner = nullptr);
    ~TEditorFountain() override;

    TEditorColors *Colors() const { return FColors; }
    void SetColors(TEditorColors *value);  // copies
    TEditorBracketCollection *EditorBrackets() const;

    // Text that starts a comment running to the end of the row (code page 932); empty: none.
    const std::string &Commenter() const { return FCommenter; }
    void SetCommenter(const std::string &value);
    // Recognise control codes: "#" and decimal digits, or "#$" and hexadecimal digits.
    bool ControlCode() const { return FControlCode; }
    void SetControlCode(bool value);
    // Prefix of hexadecimal numbers, matched case-insensitively; empty: none.
    const std::string &HexPrefix() const { return FHexPrefix; }
    void SetHexPrefix(const std::string &value);
    bool Mail() const { return FMail; }
    void SetMail(bool value);
    // Its first byte delimits strings; empty: no strings.
    const std::string &Quotation() const { return FQuotation; }
    void SetQuotation(const std::string &value);
    bool Url() const { return FUrl; }
    void SetUrl(bool value);

    QString CommenterUnicode() const;
    void SetCommenterUnicode(const QString &value);
    QString HexPrefixUnicode() const;
    void SetHexPrefixUnicode(const QString &value);
    QString QuotationUnicode() const;
    void SetQuotationUnicode(const QString &value);

    TFountainParserClass ParserClass() const override;

    // Set one attribute of every colour slot except Select and Hit (Reserve included; bracket
    // colours are left alone), with one report to the listeners.
    virtual void SetAllBkColor(TColor color);
    virtual void SetAllColor(TColor color);
    virtual void SetAllStyle(TFontStyles style);

protected:
    TEditorFountain(QObject *owner, TDeferInitialize);
    void Initialize() override;
    TFountainBracketCollection *NewBrackets() override;
    virtual TEditorColors *NewEditorColors();

private:
    // Calls change for every colour slot that the change-all operations set.
    void ChangeAll(const std::function<void(TFountainColor *)> &change);
    // Reports a change of one of the fountain's own fields.
    void FieldChanged();

    TEditorColors *FColors = nullptr;
    std::string FCommenter;
    bool FControlCode = false;
    std::string FHexPrefix;
    bool FMail = false;
    std::string FQuotation;
    bool FUrl = false;
};
