// Scenes of the editor: coloured SQL with line numbers, ruler and marks; a box selection; word
// wrap over Japanese text with the line-breaking rules on.
#include "tools/screenshots/scene_registry.h"

#include "classlib/cp932.h"
#include "classlib/string_list.h"
#include "editor/editor.h"
#include "syntax/oracle_reserved_words.h"

namespace {

std::string Sjis(const char *utf8) { return cp932::FromUnicode(QString::fromUtf8(utf8)); }

// An editor dressed as the SQL windows dress theirs, with colours for every kind of token.
std::unique_ptr<TEditor> SqlEditor(int width, int height)
{
    auto editor = std::make_unique<TEditor>();
    editor->resize(width, height);
    editor->Font()->SetHeight(-14);
    TEditorViewInfo *view = editor->View();
    view->SetCommenter(QStringLiteral("--"));
    view->SetQuotation(QStringLiteral("'"));
    view->Fountain()->EditorBrackets()->AddBracket("/*", "*/");
    view->Fountain()->EditorBrackets()->BracketItem(0)->ItemColor()->SetColor(clGreen);
    TEditorColors *colors = view->Colors();
    colors->Reserve()->SetColor(clNavy);
    colors->Reserve()->SetStyle(fsBold);
    colors->Comment()->SetColor(clGreen);
    colors->Str()->SetColor(clMaroon);
    colors->Int()->SetColor(clPurple);
    colors->Symbol()->SetColor(clTeal);
    colors->DBCS()->SetColor(RGBToColor(160, 80, 0));
    TStringList words;
    for (const std::string &word : syntax::OracleReservedWords())
        words.Add(word);
    editor->SetReserveWordList(&words);
    editor->Caret()->SetTabSpaceCount(4);
    return editor;
}

const char *const SqlText =
    "/* 部門別の給与集計 */\n"
    "SELECT d.dname AS \"部門\",\n"
    "       COUNT(*) AS cnt,\n"
    "       SUM(e.sal + NVL(e.comm, 0)) AS total,\n"
    "       ROUND(AVG(e.sal), 2) avg_sal\n"
    "  FROM emp e, dept d\n"
    " WHERE e.deptno = d.deptno\n"
    "   AND e.hiredate >= TO_DATE('1981/01/01', 'YYYY/MM/DD')\n"
    "   AND e.ename LIKE '%S%' -- 名前に S を含む社員\n"
    " GROUP BY d.dname\n"
    "HAVING COUNT(*) > 3\n"
    " ORDER BY total DESC;\n";

std::unique_ptr<QWidget> SqlScene()
{
    auto editor = SqlEditor(760, 330);
    editor->Leftbar()->SetVisible(true);
    editor->Leftbar()->SetBkColor(clBtnFace);
    editor->Leftbar()->SetColor(clWindowText);
    editor->Ruler()->SetVisible(true);
    editor->Ruler()->SetBkColor(clBtnFace);
    editor->Ruler()->SetColor(clBtnText);
    editor->Marks()->RetMark()->SetVisible(true);
    editor->Marks()->EofMark()->SetVisible(true);
    editor->Marks()->Underline()->SetVisible(true);
    editor->SetScrollBars(ssBoth);
    editor->Imagebar()->SetMarkWidth(12);
    editor->SetText(Sjis(SqlText));
    editor->Model().PutMark(1, 1);
    editor->Model().PutMark(6, 2);
    editor->Model().PutMark(8, 10);
    editor->setFocus();
    editor->SetSelStart(editor->Perform(0x00BB /* EM_LINEINDEX */, 6) + 9);
    return editor;
}

std::unique_ptr<QWidget> BoxScene()
{
    auto editor = SqlEditor(560, 220);
    editor->Leftbar()->SetVisible(true);
    editor->Ruler()->SetVisible(true);
    editor->SetText(Sjis("INSERT INTO emp VALUES (7369, 'SMITH',  'CLERK',    800);\n"
                         "INSERT INTO emp VALUES (7499, 'ALLEN',  'SALESMAN', 1600);\n"
                         "INSERT INTO emp VALUES (7521, 'WARD',   'SALESMAN', 1250);\n"
                         "INSERT INTO emp VALUES (7566, 'JONES',  'MANAGER',  2975);\n"
                         "INSERT INTO emp VALUES (7654, '山田',   '営業',     1250);\n"
                         "INSERT INTO emp VALUES (7698, 'BLAKE',  'MANAGER',  2850);\n"));
    editor->setFocus();
    editor->SetSelectionMode(true);
    editor->Model().SelectBox(1, 30, 4, 40);
    return editor;
}

std::unique_ptr<QWidget> WrapScene()
{
    auto editor = SqlEditor(520, 330);
    editor->Leftbar()->SetVisible(true);
    editor->Leftbar()->SetShowNumberMode(nmLine);
    editor->Ruler()->SetVisible(true);
    editor->Marks()->RetMark()->SetVisible(true);
    editor->Marks()->WrapMark()->SetVisible(true);
    editor->Marks()->EofMark()->SetVisible(true);
    TEditorWrapOption *wrap = editor->WrapOption();
    wrap->SetWrapByte(40);
    wrap->SetLeading(true);
    wrap->SetFollowPunctuation(true);
    wrap->SetWordBreak(true);
    editor->SetWordWrap(true);
    editor->SetText(Sjis("-- 禁則処理の例：句読点は行末にぶら下がり、「括弧」は行頭に来ない。\n"
                         "吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。何でも薄暗いじめじめした所でニャーニャー泣いていた事だけは記憶している。\n"
                         "SELECT ename, job FROM emp WHERE job = 'MANAGER' AND sal > 2000 ORDER BY ename;\n"
                         "「吾輩はここで始めて人間というものを見た。」しかもあとで聞くとそれは書生という人間中で一番獰悪な種族であったそうだ。"));
    editor->setFocus();
    return editor;
}

const screenshots::TSceneRegistration sql("editor_sql", SqlScene);
const screenshots::TSceneRegistration box("editor_box_selection", BoxScene);
const screenshots::TSceneRegistration wrap("editor_wrap_japanese", WrapScene);

} // namespace
