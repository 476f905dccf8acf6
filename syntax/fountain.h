// The fountain: a component that knows how to cut rows of text into tokens (it makes the
// parsers) and which colour each token gets (it holds the colour and bracket settings and the
// reserved word list).
//
// Every owned settings object reports its changes into the fountain's change list, so a change
// of a colour, of the bracket list or of the reserved word list (through its setter) ends in one
// call of every registered listener with the fountain as sender. Editing the strings of
// ReserveWordList in place sends no report.
#pragma once

#include "classlib/string_list.h"
#include "syntax/file_ext_component.h"
#include "syntax/fountain_color.h"
#include "syntax/fountain_parser.h"
#include "syntax/notify_persistent.h"

#include <functional>
#include <memory>

class TFountain : public TFileExtComponent {
    Q_OBJECT
    Q_PROPERTY(TFountainBracketCollection *Brackets READ Brackets WRITE SetBrackets)
    Q_PROPERTY(TFountainColor *Reserve READ Reserve WRITE SetReserve)
    Q_PROPERTY(TStrings *ReserveWordList READ ReserveWordList WRITE SetReserveWordList)
public:
    ~TFountain() override;

    TFountainBracketCollection *Brackets() const { return FBrackets; }
    void SetBrackets(TFountainBracketCollection *value);  // copies
    TFountainColor *Reserve() const { return FReserve; }
    void SetReserve(TFountainColor *value);  // copies
    TStrings *ReserveWordList() const { return FReserveWordList; }
    // Copies the strings, then reports the change with the fountain as sender.
    void SetReserveWordList(TStrings *value);

    // The change list: listeners register here (owner and sender: the fountain).
    TNotifyEventList *NotifyEventList() const { return FNotifyEventList; }

    // The class of parser this fountain makes.
    virtual TFountainParserClass ParserClass() const = 0;
    // A new parser for this fountain; the caller owns it.
    virtual std::unique_ptr<TFountainParser> CreateParser();
    // True when some colour reachable from object through its published properties (object
    // itself included) has fsItalic in its style.
    virtual bool HasItalicStyle(const QObject *object) const;

protected:
    // Subclasses construct with this tag and run Initialize at the end of their own
    // constructor, so that the construction steps call their overrides.
    struct TDeferInitialize {};
    TFountain(QObject *owner, TDeferInitialize);

    // The construction steps, in this order: change list; Brackets := NewBrackets;
    // InitBrackets; ReserveWordList := a new sorted list; InitReserveWords; CreateColors.
    virtual void Initialize();
    virtual TFountainColor *NewColor();
    virtual void CreateColors();
    virtual TFountainBracketCollection *NewBrackets();
    virtual void InitBrackets();
    virtual void InitReserveWords();

    // Sets Reserve (the fountain owns the colour; used by CreateColors).
    void SetReserveColor(TFountainColor *color);

private:
    TNotifyEventList *FNotifyEventList = nullptr;
    TFountainBracketCollection *FBrackets = nullptr;
    TStringList *FReserveWordList = nullptr;
    TFountainColor *FReserve = nullptr;
};

namespace syntax {

// Calls visit for every colour reachable from root through published object-valued properties
// (root itself included): descends into settings objects and collection items, not into other
// components. Each colour is visited once.
void ForEachFountainColor(const QObject *root, const std::function<void(TFountainColor *)> &visit);

} // namespace syntax
