// The worksheet's editors.
#include "sql/worksheet_editors.h"

#include "classlib/string_list.h"
#include "editor/editor.h"
#include "sql/plan_text.h"

namespace worksheet {

namespace {

void SetFont(TEditor &editor)
{
    editor.Font()->SetName(QStringLiteral("ＭＳ ゴシック"));
    editor.Font()->SetHeight(-15);
    editor.SetColor(clWhite);
}

void SetWords(TEditor &editor, const char *const *words)
{
    TStringList list;
    for (; *words; ++words)
        list.Add(*words);
    editor.SetReserveWordList(&list);
    TFountainColor *reserve = editor.View()->Colors()->Reserve();
    reserve->SetColor(clBlue);
    reserve->SetBkColor(clWhite);
    reserve->SetStyle(fsBold);
}

} // namespace

void DressStatementEditor(TEditor &editor)
{
    static const char *const words[] = {"all", "and", "begin", "by", "delete", "exception", "from",
                                        "function", "group", "having", "insert", "into", "or",
                                        "order", "procedure", "select", "union", "update", "where",
                                        nullptr};
    SetFont(editor);
    SetWords(editor, words);
    TEditorViewInfo *view = editor.View();
    view->SetCommenter(QStringLiteral("--"));
    view->Colors()->Comment()->SetColor(clTeal);
    view->Colors()->Comment()->SetStyle(fsBold);
    view->Fountain()->EditorBrackets()->AddBracket("/*", "*/");
    TFountainColor *block = view->Fountain()->EditorBrackets()->BracketItem(0)->ItemColor();
    block->SetColor(clGreen);
    block->SetStyle(fsBold);
    editor.Caret()->SetTabSpaceCount(4);
    editor.Caret()->SetSoftTab(true);
    editor.Caret()->SetAutoIndent(true);
    editor.Marks()->RetMark()->SetVisible(true);
    editor.Marks()->EofMark()->SetVisible(true);
    editor.Marks()->Underline()->SetVisible(true);
    editor.SetScrollBars(ssBoth);
    // A double click selects the token under the caret, as the colouring divides the line.
    editor.OnDblClick = [](TEditor *self) { self->SelectTokenAtCaret(); };
}

void DressLogEditor(TEditor &editor)
{
    SetFont(editor);
    SetWords(editor, PlanWords());
    editor.Caret()->SetTabSpaceCount(8);
    editor.SetScrollBars(ssBoth);
}

} // namespace worksheet
