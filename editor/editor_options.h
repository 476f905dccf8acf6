// The editor's option objects: caret behaviour and cursors, margins, the left bar, the ruler, the
// image bar, the end-of-row marks and the speed settings. Each is owned by its editor and reports
// every change through OnChange (deferred inside an update scope); setters ignore equal values and
// clamp silently.
#pragma once

#include "classlib/graphics.h"
#include "syntax/notify_persistent.h"

namespace editoropt {
Q_NAMESPACE
enum TEditorCaretStyle { csDefault, csBrief };
Q_ENUM_NS(TEditorCaretStyle)
enum TEditorHitStyle { hsSelect, hsDraw, hsCaret };
Q_ENUM_NS(TEditorHitStyle)
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
Q_ENUM_NS(TScrollStyle)
enum TShowNumberMode { nmRow, nmLine };
Q_ENUM_NS(TShowNumberMode)
enum TDragMode { dmManual, dmAutomatic };
Q_ENUM_NS(TDragMode)
} // namespace editoropt

using TEditorCaretStyle = editoropt::TEditorCaretStyle;
using TEditorHitStyle = editoropt::TEditorHitStyle;
using TScrollStyle = editoropt::TScrollStyle;
using TShowNumberMode = editoropt::TShowNumberMode;
using TDragMode = editoropt::TDragMode;
using enum editoropt::TEditorCaretStyle;
using enum editoropt::TEditorHitStyle;
using enum editoropt::TScrollStyle;
using enum editoropt::TShowNumberMode;
using enum editoropt::TDragMode;

// The two cursors the editor adds to the application's cursor table.
constexpr TCursor crRightArrow = static_cast<TCursor>(1);
constexpr TCursor crDragSelCopy = static_cast<TCursor>(2);

// Base of the option objects: a setter helper that stores and reports only real changes.
class TEditorOption : public TNotifyPersistent {
    Q_OBJECT
public:
    using TNotifyPersistent::TNotifyPersistent;
    ~TEditorOption() override;

protected:
    template <class T> void Store(T &field, T value)
    {
        if (field == value)
            return;
        field = value;
        Changed();
    }
    static int Clamp(int value, int low, int high) { return value < low ? low : value > high ? high : value; }
};

#define KESTRIM_OPTION(Type, Name, Field)                                                                             \
    Type Name() const { return Field; }                                                                              \
    void Set##Name(Type value) { Store(Field, value); }

#define KESTRIM_RANGE_OPTION(Name, Field, Low, High)                                                                  \
    int Name() const { return Field; }                                                                               \
    void Set##Name(int value) { Store(Field, Clamp(value, Low, High)); }

class TEditorCursors : public TEditorOption {
    Q_OBJECT
    Q_PROPERTY(TCursor DefaultCursor READ DefaultCursor WRITE SetDefaultCursor)
    Q_PROPERTY(TCursor DragSelCursor READ DragSelCursor WRITE SetDragSelCursor)
    Q_PROPERTY(TCursor DragSelCopyCursor READ DragSelCopyCursor WRITE SetDragSelCopyCursor)
    Q_PROPERTY(TCursor InSelCursor READ InSelCursor WRITE SetInSelCursor)
    Q_PROPERTY(TCursor LeftMarginCursor READ LeftMarginCursor WRITE SetLeftMarginCursor)
    Q_PROPERTY(TCursor TopMarginCursor READ TopMarginCursor WRITE SetTopMarginCursor)
    Q_CLASSINFO("Default.DefaultCursor", "crIBeam")
    Q_CLASSINFO("Default.DragSelCursor", "crDrag")
    Q_CLASSINFO("Default.InSelCursor", "crDefault")
    Q_CLASSINFO("Default.TopMarginCursor", "crDefault")
public:
    using TEditorOption::TEditorOption;
    ~TEditorCursors() override;
    KESTRIM_OPTION(TCursor, DefaultCursor, FDefaultCursor)
    KESTRIM_OPTION(TCursor, DragSelCursor, FDragSelCursor)
    KESTRIM_OPTION(TCursor, DragSelCopyCursor, FDragSelCopyCursor)
    KESTRIM_OPTION(TCursor, InSelCursor, FInSelCursor)
    KESTRIM_OPTION(TCursor, LeftMarginCursor, FLeftMarginCursor)
    KESTRIM_OPTION(TCursor, TopMarginCursor, FTopMarginCursor)

private:
    TCursor FDefaultCursor = crIBeam;
    TCursor FDragSelCursor = crDrag;
    TCursor FDragSelCopyCursor = crDragSelCopy;
    TCursor FInSelCursor = crDefault;
    TCursor FLeftMarginCursor = crRightArrow;
    TCursor FTopMarginCursor = crDefault;
};

class TEditorCaret : public TEditorOption {
    Q_OBJECT
    Q_PROPERTY(bool AutoCursor READ AutoCursor WRITE SetAutoCursor)
    Q_PROPERTY(bool AutoIndent READ AutoIndent WRITE SetAutoIndent)
    Q_PROPERTY(bool BackSpaceUnIndent READ BackSpaceUnIndent WRITE SetBackSpaceUnIndent)
    Q_PROPERTY(TEditorCursors *Cursors READ Cursors WRITE SetCursors)
    Q_PROPERTY(bool FreeCaret READ FreeCaret WRITE SetFreeCaret)
    Q_PROPERTY(bool InTab READ InTab WRITE SetInTab)
    Q_PROPERTY(bool KeepCaret READ KeepCaret WRITE SetKeepCaret)
    Q_PROPERTY(bool LockScroll READ LockScroll WRITE SetLockScroll)
    Q_PROPERTY(bool NextLine READ NextLine WRITE SetNextLine)
    Q_PROPERTY(bool PrevSpaceIndent READ PrevSpaceIndent WRITE SetPrevSpaceIndent)
    Q_PROPERTY(bool RowSelect READ RowSelect WRITE SetRowSelect)
    Q_PROPERTY(editoropt::TDragMode SelDragMode READ SelDragMode WRITE SetSelDragMode)
    Q_PROPERTY(bool SelMove READ SelMove WRITE SetSelMove)
    Q_PROPERTY(bool SoftTab READ SoftTab WRITE SetSoftTab)
    Q_PROPERTY(editoropt::TEditorCaretStyle Style READ Style WRITE SetStyle)
    Q_PROPERTY(bool TabIndent READ TabIndent WRITE SetTabIndent)
    Q_PROPERTY(int TabSpaceCount READ TabSpaceCount WRITE SetTabSpaceCount)
    Q_CLASSINFO("Default.AutoCursor", "True")
    Q_CLASSINFO("Default.AutoIndent", "True")
    Q_CLASSINFO("Default.BackSpaceUnIndent", "True")
    Q_CLASSINFO("Default.FreeCaret", "True")
    Q_CLASSINFO("Default.InTab", "False")
    Q_CLASSINFO("Default.KeepCaret", "False")
    Q_CLASSINFO("Default.LockScroll", "False")
    Q_CLASSINFO("Default.NextLine", "False")
    Q_CLASSINFO("Default.PrevSpaceIndent", "False")
    Q_CLASSINFO("Default.RowSelect", "True")
    Q_CLASSINFO("Default.SelDragMode", "dmAutomatic")
    Q_CLASSINFO("Default.SelMove", "True")
    Q_CLASSINFO("Default.SoftTab", "False")
    Q_CLASSINFO("Default.Style", "csDefault")
    Q_CLASSINFO("Default.TabIndent", "False")
    Q_CLASSINFO("Default.TabSpaceCount", "8")
public:
    explicit TEditorCaret(QObject *parent = nullptr);
    ~TEditorCaret() override;
    KESTRIM_OPTION(bool, AutoCursor, FAutoCursor)
    KESTRIM_OPTION(bool, AutoIndent, FAutoIndent)
    KESTRIM_OPTION(bool, BackSpaceUnIndent, FBackSpaceUnIndent)
    TEditorCursors *Cursors() const { return FCursors; }
    void SetCursors(TEditorCursors *value) { FCursors->Assign(value); }
    KESTRIM_OPTION(bool, FreeCaret, FFreeCaret)
    KESTRIM_OPTION(bool, InTab, FInTab)
    KESTRIM_OPTION(bool, KeepCaret, FKeepCaret)
    KESTRIM_OPTION(bool, LockScroll, FLockScroll)
    KESTRIM_OPTION(bool, NextLine, FNextLine)
    KESTRIM_OPTION(bool, PrevSpaceIndent, FPrevSpaceIndent)
    KESTRIM_OPTION(bool, RowSelect, FRowSelect)
    KESTRIM_OPTION(TDragMode, SelDragMode, FSelDragMode)
    KESTRIM_OPTION(bool, SelMove, FSelMove)
    KESTRIM_OPTION(bool, SoftTab, FSoftTab)
    KESTRIM_OPTION(TEditorCaretStyle, Style, FStyle)
    KESTRIM_OPTION(bool, TabIndent, FTabIndent)
    int TabSpaceCount() const { return FTabSpaceCount; }
    void SetTabSpaceCount(int value) { Store(FTabSpaceCount, Clamp(value, 2, 8) & ~1); }

private:
    bool FAutoCursor = true;
    bool FAutoIndent = true;
    bool FBackSpaceUnIndent = true;
    TEditorCursors *FCursors;
    bool FFreeCaret = true;
    bool FInTab = false;
    bool FKeepCaret = false;
    bool FLockScroll = false;
    bool FNextLine = false;
    bool FPrevSpaceIndent = false;
    bool FRowSelect = true;
    TDragMode FSelDragMode = dmAutomatic;
    bool FSelMove = true;
    bool FSoftTab = false;
    TEditorCaretStyle FStyle = csDefault;
    bool FTabIndent = false;
    int FTabSpaceCount = 8;
};

class TEditorMargin : public TEditorOption {
    Q_OBJECT
    Q_PROPERTY(int Character READ Character WRITE SetCharacter)
    Q_PROPERTY(int Left READ Left WRITE SetLeft)
    Q_PROPERTY(int Line READ Line WRITE SetLine)
    Q_PROPERTY(int Top READ Top WRITE SetTop)
    Q_CLASSINFO("Default.Character", "0")
    Q_CLASSINFO("Default.Left", "19")
    Q_CLASSINFO("Default.Line", "0")
    Q_CLASSINFO("Default.Top", "2")
public:
    using TEditorOption::TEditorOption;
    ~TEditorMargin() override;
    KESTRIM_RANGE_OPTION(Character, FCharacter, 0, 100)
    KESTRIM_RANGE_OPTION(Left, FLeft, 0, 100)
    KESTRIM_RANGE_OPTION(Line, FLine, 0, 100)
    KESTRIM_RANGE_OPTION(Top, FTop, 0, 100)
    // One extra pixel per row while the caret row is underlined; set by the editor.
    KESTRIM_RANGE_OPTION(Underline, FUnderline, 0, 100)

private:
    int FCharacter = 0;
    int FLeft = 19;
    int FLine = 0;
    int FTop = 2;
    int FUnderline = 0;
};

class TEditorLeftbar : public TEditorOption {
    Q_OBJECT
    Q_PROPERTY(TColor BkColor READ BkColor WRITE SetBkColor)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(int Column READ Column WRITE SetColumn)
    Q_PROPERTY(bool Edge READ Edge WRITE SetEdge)
    Q_PROPERTY(int LeftMargin READ LeftMargin WRITE SetLeftMargin)
    Q_PROPERTY(int RightMargin READ RightMargin WRITE SetRightMargin)
    Q_PROPERTY(bool ShowNumber READ ShowNumber WRITE SetShowNumber)
    Q_PROPERTY(editoropt::TShowNumberMode ShowNumberMode READ ShowNumberMode WRITE SetShowNumberMode)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(bool ZeroBase READ ZeroBase WRITE SetZeroBase)
    Q_PROPERTY(bool ZeroLead READ ZeroLead WRITE SetZeroLead)
    Q_CLASSINFO("Default.BkColor", "clSilver")
    Q_CLASSINFO("Default.Color", "clBlack")
    Q_CLASSINFO("Default.Column", "4")
    Q_CLASSINFO("Default.Edge", "True")
    Q_CLASSINFO("Default.LeftMargin", "8")
    Q_CLASSINFO("Default.RightMargin", "4")
    Q_CLASSINFO("Default.ShowNumber", "True")
    Q_CLASSINFO("Default.ShowNumberMode", "nmRow")
    Q_CLASSINFO("Default.Visible", "False")
    Q_CLASSINFO("Default.ZeroBase", "False")
    Q_CLASSINFO("Default.ZeroLead", "False")
public:
    using TEditorOption::TEditorOption;
    ~TEditorLeftbar() override;
    KESTRIM_OPTION(TColor, BkColor, FBkColor)
    KESTRIM_OPTION(TColor, Color, FColor)
    KESTRIM_RANGE_OPTION(Column, FColumn, 1, 8)
    KESTRIM_OPTION(bool, Edge, FEdge)
    KESTRIM_RANGE_OPTION(LeftMargin, FLeftMargin, 0, 100)
    KESTRIM_RANGE_OPTION(RightMargin, FRightMargin, 0, 100)
    KESTRIM_OPTION(bool, ShowNumber, FShowNumber)
    KESTRIM_OPTION(TShowNumberMode, ShowNumberMode, FShowNumberMode)
    KESTRIM_OPTION(bool, Visible, FVisible)
    KESTRIM_OPTION(bool, ZeroBase, FZeroBase)
    KESTRIM_OPTION(bool, ZeroLead, FZeroLead)

private:
    TColor FBkColor = clSilver;
    TColor FColor = clBlack;
    int FColumn = 4;
    bool FEdge = true;
    int FLeftMargin = 8;
    int FRightMargin = 4;
    bool FShowNumber = true;
    TShowNumberMode FShowNumberMode = nmRow;
    bool FVisible = false;
    bool FZeroBase = false;
    bool FZeroLead = false;
};

class TEditorRuler : public TEditorOption {
    Q_OBJECT
    Q_PROPERTY(TColor BkColor READ BkColor WRITE SetBkColor)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(bool Edge READ Edge WRITE SetEdge)
    Q_PROPERTY(int GaugeRange READ GaugeRange WRITE SetGaugeRange)
    Q_PROPERTY(TColor MarkColor READ MarkColor WRITE SetMarkColor)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_CLASSINFO("Default.BkColor", "clSilver")
    Q_CLASSINFO("Default.Color", "clBlack")
    Q_CLASSINFO("Default.Edge", "True")
    Q_CLASSINFO("Default.GaugeRange", "10")
    Q_CLASSINFO("Default.MarkColor", "clBlack")
    Q_CLASSINFO("Default.Visible", "False")
public:
    using TEditorOption::TEditorOption;
    ~TEditorRuler() override;
    KESTRIM_OPTION(TColor, BkColor, FBkColor)
    KESTRIM_OPTION(TColor, Color, FColor)
    KESTRIM_OPTION(bool, Edge, FEdge)
    int GaugeRange() const { return FGaugeRange; }
    void SetGaugeRange(int value) { Store(FGaugeRange, Clamp(value, 8, 10) & ~1); }
    KESTRIM_OPTION(TColor, MarkColor, FMarkColor)
    KESTRIM_OPTION(bool, Visible, FVisible)
    int Height() const { return FVisible ? (FEdge ? 11 : 10) : 0; }

private:
    TColor FBkColor = clSilver;
    TColor FColor = clBlack;
    bool FEdge = true;
    int FGaugeRange = 10;
    TColor FMarkColor = clBlack;
    bool FVisible = false;
};

class TEditorImagebar : public TEditorOption {
    Q_OBJECT
    Q_PROPERTY(int DigitWidth READ DigitWidth WRITE SetDigitWidth)
    Q_PROPERTY(int LeftMargin READ LeftMargin WRITE SetLeftMargin)
    Q_PROPERTY(int MarkWidth READ MarkWidth WRITE SetMarkWidth)
    Q_PROPERTY(int RightMargin READ RightMargin WRITE SetRightMargin)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_CLASSINFO("Default.DigitWidth", "8")
    Q_CLASSINFO("Default.LeftMargin", "2")
    Q_CLASSINFO("Default.MarkWidth", "0")
    Q_CLASSINFO("Default.RightMargin", "2")
    Q_CLASSINFO("Default.Visible", "True")
public:
    using TEditorOption::TEditorOption;
    ~TEditorImagebar() override;
    KESTRIM_RANGE_OPTION(DigitWidth, FDigitWidth, 0, 100)
    KESTRIM_RANGE_OPTION(LeftMargin, FLeftMargin, 0, 100)
    KESTRIM_RANGE_OPTION(MarkWidth, FMarkWidth, 0, 100)
    KESTRIM_RANGE_OPTION(RightMargin, FRightMargin, 0, 100)
    KESTRIM_OPTION(bool, Visible, FVisible)
    int Width() const { return FVisible ? FLeftMargin + FDigitWidth + FMarkWidth + FRightMargin : 0; }

private:
    int FDigitWidth = 8;
    int FLeftMargin = 2;
    int FMarkWidth = 0;
    int FRightMargin = 2;
    bool FVisible = true;
};

class TEditorMark : public TEditorOption {
    Q_OBJECT
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_CLASSINFO("Default.Color", "clGray")
    Q_CLASSINFO("Default.Visible", "False")
public:
    using TEditorOption::TEditorOption;
    ~TEditorMark() override;
    KESTRIM_OPTION(TColor, Color, FColor)
    KESTRIM_OPTION(bool, Visible, FVisible)

private:
    TColor FColor = clGray;
    bool FVisible = false;
};

class TEditorMarks : public TEditorOption {
    Q_OBJECT
    Q_PROPERTY(TEditorMark *EofMark READ EofMark WRITE SetEofMark)
    Q_PROPERTY(TEditorMark *RetMark READ RetMark WRITE SetRetMark)
    Q_PROPERTY(TEditorMark *WrapMark READ WrapMark WRITE SetWrapMark)
    Q_PROPERTY(TEditorMark *HideMark READ HideMark WRITE SetHideMark)
    Q_PROPERTY(TEditorMark *Underline READ Underline WRITE SetUnderline)
public:
    explicit TEditorMarks(QObject *parent = nullptr);
    ~TEditorMarks() override;
    TEditorMark *EofMark() const { return FEofMark; }
    TEditorMark *RetMark() const { return FRetMark; }
    TEditorMark *WrapMark() const { return FWrapMark; }
    TEditorMark *HideMark() const { return FHideMark; }
    TEditorMark *Underline() const { return FUnderline; }
    void SetEofMark(TEditorMark *value) { FEofMark->Assign(value); }
    void SetRetMark(TEditorMark *value) { FRetMark->Assign(value); }
    void SetWrapMark(TEditorMark *value) { FWrapMark->Assign(value); }
    void SetHideMark(TEditorMark *value) { FHideMark->Assign(value); }
    void SetUnderline(TEditorMark *value) { FUnderline->Assign(value); }

private:
    TEditorMark *NewMark();
    TEditorMark *FEofMark;
    TEditorMark *FRetMark;
    TEditorMark *FWrapMark;
    TEditorMark *FHideMark;
    TEditorMark *FUnderline;
};

class TEditorSpeed : public TEditorOption {
    Q_OBJECT
    Q_PROPERTY(int CaretVerticalAc READ CaretVerticalAc WRITE SetCaretVerticalAc)
    Q_PROPERTY(bool InitBracketsFull READ InitBracketsFull WRITE SetInitBracketsFull)
    Q_PROPERTY(int PageVerticalRange READ PageVerticalRange WRITE SetPageVerticalRange)
    Q_PROPERTY(int PageVerticalRangeAc READ PageVerticalRangeAc WRITE SetPageVerticalRangeAc)
    Q_CLASSINFO("Default.CaretVerticalAc", "2")
    Q_CLASSINFO("Default.InitBracketsFull", "False")
    Q_CLASSINFO("Default.PageVerticalRange", "2")
    Q_CLASSINFO("Default.PageVerticalRangeAc", "2")
public:
    using TEditorOption::TEditorOption;
    ~TEditorSpeed() override;
    KESTRIM_RANGE_OPTION(CaretVerticalAc, FCaretVerticalAc, 1, 4)
    KESTRIM_OPTION(bool, InitBracketsFull, FInitBracketsFull)
    KESTRIM_RANGE_OPTION(PageVerticalRange, FPageVerticalRange, 1, 4)
    KESTRIM_RANGE_OPTION(PageVerticalRangeAc, FPageVerticalRangeAc, 1, 4)

private:
    int FCaretVerticalAc = 2;
    bool FInitBracketsFull = false;
    int FPageVerticalRange = 2;
    int FPageVerticalRangeAc = 2;
};

#undef KESTRIM_OPTION
#undef KESTRIM_RANGE_OPTION
