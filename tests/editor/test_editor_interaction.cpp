// The editor widget driven by the mouse and the clipboard as a user drives it: selecting with
// clicks and drags, whole rows from the bars, dragging a selection to move or copy it, the
// cursor shapes, clipboard round trips with stream and box text, the popup menu with its
// enabling rules and the marks through its shortcuts.
#include "editor/edit_messages.h"
#include "editor/editor.h"
#include "editor/editor_cursors.h"
#include "editor/editor_popup_menu.h"

#include "tests/support/gui_support.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>

namespace {

const std::string Hira = "\x82\xA0";

class EditorMouse : public ::testing::Test {
protected:
    void SetUp() override
    {
        editor.resize(480, 320);
        guitest::ShowActive(editor);
        editor.setFocus();
        QGuiApplication::clipboard()->clear();
    }
    // A point inside the left half of a cell, so that it stands for the boundary before it.
    QPoint At(int row, int col) const { return editor.CellPos(row, col) + QPoint(1, editor.RowHeight() / 2); }
    void Press(QPoint p, Qt::KeyboardModifiers m = {}) { QTest::mousePress(&editor, Qt::LeftButton, m, p); }
    void Move(QPoint p) { QTest::mouseMove(&editor, p); }
    void Release(QPoint p, Qt::KeyboardModifiers m = {}) { QTest::mouseRelease(&editor, Qt::LeftButton, m, p); }
    void Drag(QPoint from, QPoint to, Qt::KeyboardModifiers m = {})
    {
        Press(from);
        Move(from + QPoint(editor.CharWidth(), 0));
        Move(to);
        Release(to, m);
    }
    TEditorPopupMenu *Popup() const { return qobject_cast<TEditorPopupMenu *>(editor.PopupMenu()); }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) { QTest::keyClick(&editor, key, modifiers); }

    TEditor editor;
};

TEST_F(EditorMouse, ClickDragAndShiftClickSelect)
{
    editor.SetText("select name\r\nfrom emp\r\nwhere id = 1");
    editor.clearFocus();
    QTest::mouseClick(&editor, Qt::LeftButton, {}, At(1, 5));
    EXPECT_TRUE(editor.hasFocus()) << "a press takes the focus";
    EXPECT_EQ(editor.Row(), 1);
    EXPECT_EQ(editor.Col(), 5);
    EXPECT_FALSE(editor.Selected());

    // Less than half a character of movement selects nothing; more selects up to the mouse.
    Press(At(0, 7));
    Move(At(0, 7) + QPoint(editor.CharWidth() / 2 - 2, 0));
    EXPECT_FALSE(editor.Selected());
    Move(At(1, 4));
    Release(At(1, 4));
    EXPECT_EQ(editor.SelText(), "name\r\nfrom");
    // Shift extends from the same anchor.
    Press(At(2, 5), Qt::ShiftModifier);
    Release(At(2, 5), Qt::ShiftModifier);
    EXPECT_EQ(editor.SelText(), "name\r\nfrom emp\r\nwhere");
    // Dragging above the text moves up a row.
    QTest::mouseClick(&editor, Qt::LeftButton, {}, At(0, 0));
    Press(At(0, 3));
    Move(QPoint(At(0, 6).x(), editor.TextTop() - 2));
    Release(QPoint(At(0, 6).x(), editor.TextTop() - 2));
    EXPECT_EQ(editor.Row(), 0);
    EXPECT_EQ(editor.SelText(), "ect");
    // Dragging below the control selects on downwards, never back to the start.
    QTest::mouseClick(&editor, Qt::LeftButton, {}, At(0, 0));
    Press(At(0, 3));
    Move(QPoint(At(0, 3).x(), editor.height() + 40));
    Release(QPoint(At(0, 3).x(), editor.height() + 40));
    EXPECT_EQ(editor.Row(), 2);
    EXPECT_EQ(editor.SelText(), "ect name\r\nfrom emp\r\nwhe");

    // Shift-click with nothing selected anchors at the caret; a box is selected in box mode.
    editor.SetSelStart(0);
    editor.SetSelectionMode(true);
    Press(At(2, 2), Qt::ShiftModifier);
    Release(At(2, 2), Qt::ShiftModifier);
    EXPECT_EQ(editor.SelText(), "se\r\nfr\r\nwh\r\n");
}

TEST_F(EditorMouse, DoubleClickRunsTheHostsHandlerOrSelectsTheToken)
{
    editor.SetText("select ename from emp");
    QTest::mouseDClick(&editor, Qt::LeftButton, {}, At(0, 9));
    EXPECT_EQ(editor.SelText(), "ename");
    int clicks = 0;
    editor.OnDblClick = [&](TEditor *) { ++clicks; };
    QTest::mouseDClick(&editor, Qt::LeftButton, {}, At(0, 18));
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(editor.Selected()) << "the host decides what a double click selects";
}

TEST_F(EditorMouse, BarsSelectWholeRows)
{
    editor.Leftbar()->SetVisible(true);
    editor.SetText("one\r\ntwo\r\nthree\r\nfour");
    const int x = editor.Imagebar()->Width() + 2;
    auto bar = [&](int row) { return QPoint(x, At(row, 0).y()); };
    ASSERT_EQ(editor.HitTest(bar(1)).Area, TEditorArea::Leftbar);
    Press(bar(1));
    EXPECT_EQ(editor.SelText(), "two\r\n");
    Move(bar(2));
    Release(bar(2));
    EXPECT_EQ(editor.SelText(), "two\r\nthree\r\n");
    // Upwards from the anchor row, and the last row (no line break) to its end.
    Press(bar(2));
    Move(bar(0));
    Release(bar(0));
    EXPECT_EQ(editor.SelText(), "one\r\ntwo\r\nthree\r\n");
    EXPECT_EQ(editor.Row(), 0);
    QTest::mouseClick(&editor, Qt::LeftButton, {}, QPoint(1, At(3, 0).y()));  // the image bar
    EXPECT_EQ(editor.SelText(), "four");
    editor.Caret()->SetRowSelect(false);
    QTest::mouseClick(&editor, Qt::LeftButton, {}, bar(0));
    EXPECT_FALSE(editor.Selected());
}

TEST_F(EditorMouse, DraggingTheSelectionMovesOrCopiesIt)
{
    editor.SetText("select ename from emp\r\nwhere x");
    editor.SetSelStart(7);
    editor.SetSelLength(6);  // "ename "
    Drag(At(0, 8), At(1, 6));
    EXPECT_EQ(editor.Text(), "select from emp\r\nwhere ename x");
    EXPECT_EQ(editor.SelText(), "ename ");
    editor.Undo();
    EXPECT_EQ(editor.Text(), "select ename from emp\r\nwhere x") << "the move is one change";

    // With Ctrl held at the drop the text is copied.
    editor.SetSelStart(0);
    editor.SetSelLength(6);
    Drag(At(0, 2), At(1, 0), Qt::ControlModifier);
    EXPECT_EQ(editor.Text(), "select ename from emp\r\nselectwhere x");

    // Dropped inside itself: nothing changes and the selection goes.
    const std::string before = editor.Text();
    editor.SetSelStart(7);
    editor.SetSelLength(5);
    Drag(At(0, 8), At(0, 10));
    EXPECT_EQ(editor.Text(), before);
    EXPECT_FALSE(editor.Selected());

    // Pressed in the selection and released without moving: a plain click.
    editor.SetSelStart(7);
    editor.SetSelLength(5);
    QTest::mouseClick(&editor, Qt::LeftButton, {}, At(0, 9));
    EXPECT_FALSE(editor.Selected());
    EXPECT_EQ(editor.Col(), 9);

    // Esc cancels a drag; keys typed meanwhile are ignored.
    editor.SetSelStart(7);
    editor.SetSelLength(5);
    Press(At(0, 8));
    Move(At(0, 8) + QPoint(editor.CharWidth(), 0));
    Move(At(1, 2));
    EXPECT_EQ(editor.cursor().shape(), editor::EditorCursor(crDrag).shape());
    QTest::keyClick(&editor, 'z');
    Key(Qt::Key_Escape);
    Release(At(1, 2));
    EXPECT_EQ(editor.Text(), before);

    // Read-only text and SelMove off: a press in the selection is an ordinary press.
    editor.SetReadOnly(true);
    editor.SetSelStart(7);
    editor.SetSelLength(5);
    Drag(At(0, 8), At(1, 2));
    EXPECT_EQ(editor.Text(), before);
    EXPECT_EQ(editor.SelText(), "name from emp\r\nse");
}

TEST_F(EditorMouse, CursorShowsWhatAPressWouldDo)
{
    editor.Leftbar()->SetVisible(true);
    editor.Ruler()->SetVisible(true);
    editor.SetText("select ename from emp");
    Move(At(0, 3));
    EXPECT_EQ(editor.cursor().shape(), Qt::IBeamCursor);
    Move(QPoint(2, At(0, 0).y()));
    EXPECT_EQ(editor.cursor().shape(), Qt::BitmapCursor) << "the right arrow is the editor's own picture";
    EXPECT_FALSE(editor.cursor().pixmap().isNull());
    Move(QPoint(At(0, 3).x(), 2));
    EXPECT_EQ(editor.cursor().shape(), Qt::ArrowCursor);
    editor.SetSelStart(7);
    editor.SetSelLength(5);
    Move(At(0, 9));
    EXPECT_EQ(editor.cursor().shape(), Qt::ArrowCursor) << "over a selection that can be dragged";
    editor.Caret()->Cursors()->SetDefaultCursor(crCross);
    Move(At(0, 2));
    EXPECT_EQ(editor.cursor().shape(), Qt::CrossCursor);
}

TEST_F(EditorMouse, ClipboardRoundTripsStreamAndBoxText)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    editor.SetText("abcd\r\nef" + Hira + "h\r\nijkl");
    editor.SetSelStart(6);
    editor.SetSelLength(4);  // "ef" and the hiragana
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text(), QStringLiteral("efあ"));
    EXPECT_TRUE(clipboard->mimeData()->formats().size() == 1) << "a stream is copied as text only";

    // A box is copied with the private format and pasted as a box again.
    editor.SetSelStart(1);
    editor.SetSelectionMode(true);
    Key(Qt::Key_Down, Qt::ShiftModifier);
    Key(Qt::Key_Right, Qt::ShiftModifier);
    Key(Qt::Key_Right, Qt::ShiftModifier);
    Key(Qt::Key_C, Qt::ControlModifier);
    // The box reaches over the whole double-byte character the caret stepped past.
    EXPECT_EQ(clipboard->text(), QStringLiteral("bcd\r\nfあ\r\n"));
    editor.SetSelectionMode(false);
    QTest::mouseClick(&editor, Qt::LeftButton, {}, At(2, 4));
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(editor.Text(), "abcd\r\nef" + Hira + "h\r\nijklbcd\r\n    f" + Hira);

    // The same text copied by another program pastes as a stream.
    clipboard->setText(QStringLiteral("bc\r\nf\r\n"));
    editor.SetText("xy");
    editor.SetSelStart(1);
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(editor.Text(), "xbc\r\nf\r\ny");

    // Cut removes; cut or copy without a selection empties the clipboard.
    editor.SetSelStart(0);
    editor.SetSelLength(3);
    Key(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text(), QStringLiteral("xbc"));
    EXPECT_EQ(editor.Text(), "\r\nf\r\ny");
    editor.Perform(WM_COPY);
    EXPECT_TRUE(clipboard->text().isEmpty());
}

TEST_F(EditorMouse, PastingForeignTextNeverLosesTheText)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    editor.SetText("ab");
    editor.SetSelStart(1);
    // NUL, a character code page 932 cannot hold, and a 10 MB line.
    clipboard->setText(QString(QChar(0)) + QChar(0x0E01) + QStringLiteral("表"));
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(editor.Text(), std::string("a\0?\x95\x5C" "b", 6));
    clipboard->setText(QString(10'000'000, QLatin1Char('z')));
    editor.Perform(WM_PASTE);
    EXPECT_EQ(editor.Model().TextLength(), 6 + 10'000'000);

    // Box bytes from another program that are not valid code page 932 are cleaned, not merged
    // with the character after them.
    auto *data = new QMimeData;
    data->setText(QStringLiteral("x"));
    data->setData("application/x-teditor-box-type", QByteArray("\x95\r\n\x82", 4));
    clipboard->setMimeData(data);
    editor.SetText("12\r\n34");
    editor.SetSelStart(1);
    editor.Perform(WM_PASTE);
    EXPECT_EQ(editor.Text(), "1?2\r\n3?4");
    // Read-only: nothing is pasted.
    editor.SetReadOnly(true);
    editor.Perform(WM_PASTE);
    editor.BoxPaste(QStringLiteral("q"));
    EXPECT_EQ(editor.Text(), "1?2\r\n3?4");
}

TEST_F(EditorMouse, PopupMenuItemsAndTheirEnablingRules)
{
    TEditorPopupMenu *menu = Popup();
    ASSERT_NE(menu, nullptr);
    const QList<QAction *> items = menu->actions();
    QStringList captions;
    for (QAction *item : items)
        captions << (item->isSeparator() ? QStringLiteral("-") : item->text());
    EXPECT_EQ(captions, QStringList({"マーク設定", "マークジャンプ", "-", "元に戻す(&U)", "やり直し(&R)", "-",
                                     "切り取り(&T)", "コピー(&C)", "貼り付け(&P)", "Box貼り付け(&B)", "削除(&D)", "-",
                                     "すべて選択(&A)", "-", "Box選択モード(&K)"}));
    EXPECT_EQ(menu->findChild<QAction *>("popMarkSet3")->shortcut(), QKeySequence("Shift+Ctrl+3"));
    EXPECT_EQ(menu->findChild<QAction *>("popMarkJump9")->shortcut(), QKeySequence("Ctrl+9"));
    EXPECT_EQ(menu->BoxPasteItem->shortcut(), QKeySequence("Ctrl+B"));
    EXPECT_TRUE(menu->DeleteItem->shortcut().isEmpty());
    EXPECT_FALSE(menu->CopyItem->isEnabled()) << "items start disabled";

    editor.SetText("abc");
    menu->UpdateItems();
    EXPECT_FALSE(menu->CopyItem->isEnabled());
    EXPECT_FALSE(menu->PasteItem->isEnabled());
    EXPECT_TRUE(menu->SelectAllItem->isEnabled());
    EXPECT_FALSE(menu->UndoItem->isEnabled());
    editor.SetSelStart(0);
    editor.SetSelLength(2);
    QGuiApplication::clipboard()->setText(QStringLiteral("z"));
    menu->UpdateItems();
    EXPECT_TRUE(menu->CutItem->isEnabled());
    EXPECT_TRUE(menu->PasteItem->isEnabled());
    EXPECT_TRUE(menu->DeleteItem->isEnabled());
    menu->DeleteItem->trigger();
    EXPECT_EQ(editor.Text(), "c");
    menu->UpdateItems();
    EXPECT_TRUE(menu->UndoItem->isEnabled());
    // Read-only: only copy and the selection commands stay.
    editor.SetSelStart(0);
    editor.SetSelLength(1);
    editor.SetReadOnly(true);
    menu->UpdateItems();
    EXPECT_TRUE(menu->CopyItem->isEnabled());
    EXPECT_FALSE(menu->CutItem->isEnabled());
    EXPECT_FALSE(menu->PasteItem->isEnabled());
    EXPECT_FALSE(menu->BoxPasteItem->isEnabled());
    EXPECT_FALSE(menu->DeleteItem->isEnabled());
    EXPECT_FALSE(menu->UndoItem->isEnabled());
    Key(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(editor.Text(), "c");
    // Box mode is checked in box mode; Ctrl+B box-pastes the clipboard text.
    editor.SetReadOnly(false);
    Key(Qt::Key_K, Qt::ControlModifier);
    menu->UpdateItems();
    EXPECT_TRUE(menu->BoxSelectionModeItem->isChecked());
    QGuiApplication::clipboard()->setText(QStringLiteral("1\r\n2"));
    editor.SetSelStart(1);
    Key(Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(editor.Text(), "c1\r\n 2");
    // The right button opens the menu at the mouse.
    QTest::mouseClick(&editor, Qt::RightButton, {}, At(0, 0));
    QContextMenuEvent context(QContextMenuEvent::Mouse, At(0, 0), editor.mapToGlobal(At(0, 0)));
    QCoreApplication::sendEvent(&editor, &context);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_TRUE(menu->SelectAllItem->isEnabled());
    menu->hide();
}

TEST_F(EditorMouse, MarksThroughThePopupShortcuts)
{
    editor.SetText("zero\r\none\r\ntwo\r\nthree");
    editor.SetSelStart(editor.Perform(EM_LINEINDEX, 1));
    Key(Qt::Key_3, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_EQ(editor.Model().RowMarks(1), 1 << 3);
    // On another row mark 3 moves there; on the row holding it, it goes.
    editor.SetSelStart(editor.Perform(EM_LINEINDEX, 3));
    Key(Qt::Key_3, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_EQ(editor.Model().RowMarks(1), 0);
    EXPECT_EQ(editor.Model().RowMarks(3), 1 << 3);
    Key(Qt::Key_0, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_EQ(editor.Model().RowMarks(3), (1 << 3) | 1);
    Key(Qt::Key_3, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_EQ(editor.Model().RowMarks(3), 1);
    // With Shift the key reports the symbol over the digit; the key's position still counts.
    QKeyEvent shifted(QEvent::KeyPress, Qt::Key_NumberSign, Qt::ShiftModifier | Qt::ControlModifier, 12, 0, 0,
                      QStringLiteral("#"));
    editor.SetSelStart(0);
    QCoreApplication::sendEvent(&editor, &shifted);
    EXPECT_EQ(editor.Model().RowMarks(0), 1 << 3);
    // Ctrl+n jumps to mark n; the menu checks the marks in use.
    Key(Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(editor.Row(), 3);
    Popup()->UpdateItems();
    EXPECT_TRUE(Popup()->MarkJumpItems[0]->isChecked());
    EXPECT_TRUE(Popup()->MarkSetItems[3]->isChecked());
    EXPECT_FALSE(Popup()->MarkSetItems[5]->isChecked());
    // The host's key handler sees the keys first and may take them.
    editor.OnKeyDown = [](TEditor *, int &key, Qt::KeyboardModifiers) { key = 0; };
    Key(Qt::Key_5, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_EQ(editor.Model().UsedMarks() & (1 << 5), 0);
}

} // namespace
