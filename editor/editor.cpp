// TEditor: construction, the published settings and the reactions to their changes, and the
// host interface.
#include "editor/editor.h"

#include "editor/edit_messages.h"
#include "editor/editor_popup_menu.h"

#include <QScrollBar>

TEditor::TEditor(QWidget *parent)
    : QWidget(parent), FCaret(new TEditorCaret(this)), FMargin(new TEditorMargin(this)),
      FLeftbar(new TEditorLeftbar(this)), FRuler(new TEditorRuler(this)), FImagebar(new TEditorImagebar(this)),
      FMarks(new TEditorMarks(this)), FSpeed(new TEditorSpeed(this)), FView(new TEditorViewInfo(this)),
      FFont(new TFont(this)), FVScroll(new QScrollBar(Qt::Vertical, this)),
      FHScroll(new QScrollBar(Qt::Horizontal, this))
{
    setObjectName(QStringLiteral("Editor"));
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_KeyCompression, false);
    setCursor(Qt::IBeamCursor);
    resize(185, 89);

    FFont->SetName(QStringLiteral("FixedSys"));
    FFont->SetColor(clBlack);
    FFont->OnChange = [this](QObject *) { FontChanged(); };
    for (TNotifyPersistent *option : std::initializer_list<TNotifyPersistent *>{
             FCaret, FMargin, FLeftbar, FRuler, FImagebar, FMarks, FSpeed})
        option->OnChange = [this](QObject *sender) { OptionChanged(sender); };
    FView->Fountain()->NotifyEventList()->Add(this, &TEditor::FountainChanged);

    FVScroll->hide();
    FHScroll->hide();
    FVScroll->setFocusPolicy(Qt::NoFocus);
    FHScroll->setFocusPolicy(Qt::NoFocus);
    connect(FVScroll, &QScrollBar::valueChanged, this, [this](int value) {
        if (FSyncingScrollBars)
            return;
        const int before = FTopRow;
        SetTopRow(value);
        if (FCaret->LockScroll() && FTopRow != before)
            FModel.SetCaretPosition(std::clamp(FModel.Row() + FTopRow - before, 0, RowCount()), FModel.Col());
    });
    connect(FHScroll, &QScrollBar::valueChanged, this, [this](int value) {
        if (!FSyncingScrollBars)
            SetTopCol(value);
    });

    FModel.SetDisplay(this);
    FModel.SetFountain(FView->Fountain());
    FModel.OnChange = [this] {
        if (OnChange)
            OnChange(this);
    };
    FModel.OnCaretMoved = [this] {
        if (OnCaretMoved)
            OnCaretMoved(this);
    };
    ApplyCaretOptions();
    FontChanged();
    setMouseTracking(true);  // the cursor shape follows the mouse without a button held
    FPopupMenu = new TEditorPopupMenu(this);
}

TEditor::~TEditor()
{
    FModel.OnChange = nullptr;
    FModel.OnCaretMoved = nullptr;
    FModel.SetDisplay(nullptr);
    FView->Fountain()->NotifyEventList()->Remove(this, &TEditor::FountainChanged);
    if (FFountain)
        FFountain->NotifyEventList()->Remove(this, &TEditor::FountainChanged);
}

// --- Host interface

void TEditor::SetText(std::string_view text) { FModel.Lines()->SetText(std::string(text)); }

void TEditor::SetSelText(std::string_view text) { FModel.SetSelText(text); }

std::intptr_t TEditor::Perform(unsigned message, std::uintptr_t wparam, std::intptr_t lparam)
{
    return FModel.Perform(message, wparam, lparam);
}

void TEditor::SetSelectionMode(bool box)
{
    if (box == FModel.SelectionMode())
        return;
    FModel.SetSelectionMode(box);
    if (OnSelectionModeChange)
        OnSelectionModeChange(this);
}

void TEditor::ClearSelection()
{
    if (!ReadOnly())
        FModel.ClearSelection();
}

void TEditor::Undo()
{
    if (!ReadOnly())
        FModel.Undo();
}

void TEditor::Redo()
{
    if (!ReadOnly())
        FModel.Redo();
}

// --- Settings

void TEditor::SetColor(TColor value)
{
    if (FColor == value)
        return;
    FColor = value;
    update();
}

void TEditor::SetHitStyle(TEditorHitStyle value)
{
    FHitStyle = value;
    FModel.SetHitShow(value == hsDraw ? THitShow::Draw : value == hsCaret ? THitShow::Caret : THitShow::Select);
    update();
}

void TEditor::SetScrollBars(TScrollStyle value)
{
    if (FScrollBars == value)
        return;
    FScrollBars = value;
    LayoutScrollBars();
    Measure();
}

void TEditor::SetWordWrap(bool value)
{
    if (value == WordWrap())
        return;
    FModel.SetWordWrap(value);
    Measure();
    update();
}

void TEditor::SetFountain(TFountain *fountain)
{
    if (FFountain == fountain)
        return;
    if (FFountain)
        FFountain->NotifyEventList()->Remove(this, &TEditor::FountainChanged);
    FFountain = fountain;
    if (fountain) {
        fountain->NotifyEventList()->Add(this, &TEditor::FountainChanged);
        connect(fountain, &QObject::destroyed, this, [this] { FModel.SetFountain(FView->Fountain()); update(); });
    }
    FModel.SetFountain(ActiveFountain());
    update();
}

TFountain *TEditor::ActiveFountain() const
{
    return FFountain ? static_cast<TFountain *>(FFountain) : FView->Fountain();
}

void TEditor::SetImageDigits(const QList<QPixmap> &images)
{
    FImageDigits = images;
    update();
}

void TEditor::SetImageMarks(const QList<QPixmap> &images)
{
    FImageMarks = images;
    update();
}

void TEditor::FountainChanged(QObject *)
{
    // Colours, brackets or reserved words changed: every row is coloured again.
    FModel.SetFountain(ActiveFountain());
    update();
}

void TEditor::FontChanged()
{
    if (FTopCol > 0)
        FModel.SetCaretPosition(FModel.Row(), 0);
    FCells.SetFont(editor::EditorQFont(*FFont), FMargin->Character());
    Measure();
    update();
}

void TEditor::ApplyCaretOptions()
{
    TEditorCaretRules rules;
    rules.FreeCaret = FCaret->FreeCaret();
    rules.InTab = FCaret->InTab();
    rules.KeepCaret = FCaret->KeepCaret();
    rules.TabSpaceCount = FCaret->TabSpaceCount();
    rules.NextLine = FCaret->NextLine();
    rules.AutoIndent = FCaret->AutoIndent();
    rules.PrevSpaceIndent = FCaret->PrevSpaceIndent();
    rules.TabIndent = FCaret->TabIndent();
    rules.SoftTab = FCaret->SoftTab();
    rules.BackSpaceUnIndent = FCaret->BackSpaceUnIndent();
    FModel.SetCaretRules(rules);
}

void TEditor::OptionChanged(QObject *sender)
{
    if (sender == FCaret) {
        ApplyCaretOptions();
        update();
        return;
    }
    if (sender == FSpeed) {
        FModel.SetSpeedRules({FSpeed->CaretVerticalAc(), FSpeed->PageVerticalRange(), FSpeed->PageVerticalRangeAc()});
        FModel.Store().SetInitBracketsFull(FSpeed->InitBracketsFull());
        return;
    }
    if (sender == FMarks)
        FMargin->SetUnderline(FMarks->Underline()->Visible() ? 1 : 0);  // reports through FMargin
    if (sender == FMargin)
        FCells.SetFont(editor::EditorQFont(*FFont), FMargin->Character());
    Measure();
    update();
}
