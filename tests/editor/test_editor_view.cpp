// The editor widget driven as a user drives it: keys and characters through QTest, input-method
// commits, the host interface and its events, scrolling, the bars' geometry, and the pixels of a
// row with a selection and with a search hit.
#include "editor/edit_messages.h"
#include "editor/editor.h"

#include "tests/support/gui_support.h"

#include <QFontMetricsF>
#include <QAction>
#include <QImage>
#include <QBackingStore>

#include <algorithm>
#include <map>
#include <QInputMethodEvent>
#include <QScrollBar>

using guitest::PressKey;
using guitest::TypeText;

namespace {

const std::string Hira = "\x82\xA0";

class EditorView : public ::testing::Test {
protected:
    void SetUp() override
    {
        editor.resize(480, 320);
        guitest::ShowActive(editor);
        editor.setFocus();
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) { QTest::keyClick(&editor, key, modifiers); }
    void Type(const char *text)
    {
        for (const char *p = text; *p; ++p)
            QTest::keyClick(&editor, *p);
    }
    QImage Grab()
    {
        QImage image(editor.size(), QImage::Format_RGB32);
        editor.render(&image);
        return image;
    }
    TEditor editor;
};

TEST_F(EditorView, TypingEditingAndUndoThroughTheKeys)
{
    Type("select");
    Key(Qt::Key_Return);
    Type("  from");
    EXPECT_EQ(editor.Text(), "select\r\n  from");
    Key(Qt::Key_Return);  // the new line keeps the indentation
    Type("t");
    EXPECT_EQ(editor.Text(), "select\r\n  from\r\n  t");
    Key(Qt::Key_Backspace);
    Key(Qt::Key_Backspace);  // at the indentation: back to column 0
    EXPECT_EQ(editor.Text(), "select\r\n  from\r\n");
    Key(Qt::Key_Home, Qt::ControlModifier);
    Key(Qt::Key_Delete);
    EXPECT_EQ(editor.Text(), "elect\r\n  from\r\n");
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(editor.Text(), "select\r\n  from\r\n");
    Key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(editor.Text(), "elect\r\n  from\r\n");
    // Tab inserts a tab byte; read-only text takes no keys.
    Key(Qt::Key_Tab);
    EXPECT_EQ(editor.RowText(0), "\telect");
    EXPECT_TRUE(editor.hasFocus());
    editor.SetReadOnly(true);
    Type("x");
    Key(Qt::Key_Return);
    Key(Qt::Key_Delete);
    EXPECT_EQ(editor.RowText(0), "\telect");
}

TEST_F(EditorView, HostInterfaceAndItsEvents)
{
    int changes = 0;
    int moves = 0;
    editor.OnChange = [&](TEditor *) { ++changes; };
    editor.OnCaretMoved = [&](TEditor *) { ++moves; };
    editor.SetText("abc\r\ndef");
    EXPECT_EQ(changes, 0);  // replacing the whole text is no edit
    EXPECT_FALSE(editor.Modified());
    EXPECT_EQ(editor.Perform(EM_LINEINDEX, 1), 5);
    editor.SetSelStart(5);
    EXPECT_EQ(editor.Row(), 1);
    EXPECT_EQ(editor.Col(), 0);
    EXPECT_GT(moves, 0);
    Type("x");
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(editor.Modified());
    editor.SetSelStart(1);
    editor.SetSelLength(5);
    EXPECT_EQ(editor.SelText(), "bc\r\nx");
    EXPECT_EQ(editor.SelStart(), 1);
    editor.SetSelText("Z");
    EXPECT_EQ(editor.Text(), "aZdef");
    EXPECT_EQ(changes, 2);
    editor.Lines()->SetText("a\r\n");
    EXPECT_EQ(editor.Text(), "a\r\n");
    editor.Clear();
    EXPECT_EQ(editor.Text(), "");
    int doubleClicks = 0;
    editor.OnDblClick = [&](TEditor *) { ++doubleClicks; };
    QTest::mouseDClick(&editor, Qt::LeftButton, {}, QPoint(editor.TextLeft() + 5, editor.TextTop() + 3));
    EXPECT_EQ(doubleClicks, 1);
}

TEST_F(EditorView, ScrollingKeepsTheCaretInViewAndMovesTheBars)
{
    editor.SetScrollBars(ssBoth);
    std::string text;
    for (int i = 0; i < 500; ++i)
        text += "row " + std::to_string(i) + "\r\n";
    editor.SetText(text);
    const int visible = editor.VisibleRows();
    ASSERT_GT(visible, 3);
    auto *vertical = editor.findChildren<QScrollBar *>().value(0);
    ASSERT_NE(vertical, nullptr);
    for (int i = 0; i < visible; ++i)
        Key(Qt::Key_Down);
    EXPECT_EQ(editor.TopRow(), 1);
    Key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(editor.Row(), 500);
    EXPECT_EQ(editor.TopRow(), 500 - visible + 1);
    EXPECT_EQ(vertical->value(), editor.TopRow());
    editor.SetTopRow(100000);
    EXPECT_EQ(editor.TopRow(), 500);
    editor.SetSelStart(editor.Perform(EM_LINEINDEX, 250));
    EXPECT_EQ(editor.TopRow(), 250);  // the caret above the view becomes its first row
    editor.SetTopRow(0);
    editor.Perform(EM_SCROLLCARET);
    EXPECT_EQ(editor.TopRow(), 250 - visible / 3);
    vertical->setValue(10);
    EXPECT_EQ(editor.TopRow(), 10);
    // Far to the right: the first visible column follows the caret.
    editor.SetText(std::string(300, 'x'));
    Key(Qt::Key_End);
    EXPECT_EQ(editor.Col(), 300);
    EXPECT_GE(editor.TopCol(), 300 - editor.VisibleCols() + 1);
    EXPECT_LE(editor.TopCol(), 300);
}

TEST_F(EditorView, InputMethodCommitIsInsertedOnceAsCodePage932)
{
    editor.SetText("ab");
    editor.SetSelStart(1);
    QInputMethodEvent composing(QStringLiteral("あ"), {});
    QCoreApplication::sendEvent(&editor, &composing);
    EXPECT_EQ(editor.Text(), "ab");  // composing changes nothing yet
    EXPECT_EQ(editor.Model().Composition(), Hira);
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("あ"));
    QCoreApplication::sendEvent(&editor, &commit);
    EXPECT_EQ(editor.Text(), "a" + Hira + "b");
    EXPECT_EQ(editor.Col(), 3);
    EXPECT_TRUE(editor.Model().Composition().empty());
    // Characters code page 932 cannot hold arrive as "?"; the text around stays whole.
    QInputMethodEvent foreign;
    foreign.setCommitString(QString(QChar(0x0E01)) + QChar(0xD800));
    QCoreApplication::sendEvent(&editor, &foreign);
    EXPECT_EQ(editor.Text(), "a" + Hira + "??b");
    const QRect caret = editor.inputMethodQuery(Qt::ImCursorRectangle).toRect();
    EXPECT_EQ(caret.topLeft(), editor.CellPos(0, editor.Col()));
}

TEST_F(EditorView, BoxSelectionThroughTheKeys)
{
    editor.SetText("abcd\r\nefgh\r\nijkl");
    editor.SetSelStart(1);
    Key(Qt::Key_K, Qt::ControlModifier);
    EXPECT_TRUE(editor.SelectionMode());
    Key(Qt::Key_Down, Qt::ShiftModifier);
    Key(Qt::Key_Down, Qt::ShiftModifier);
    Key(Qt::Key_Right, Qt::ShiftModifier);
    Key(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(editor.SelText(), "bc\r\nfg\r\njk\r\n");
    Key(Qt::Key_Delete);
    EXPECT_EQ(editor.Text(), "ad\r\neh\r\nil");
}

TEST_F(EditorView, LeftBarGrowsWithTheLineNumbersAndTheUnderlineAddsAPixel)
{
    editor.Leftbar()->SetVisible(true);
    std::string text;
    for (int i = 0; i < 1234; ++i)
        text += "x\r\n";
    editor.SetText(text.substr(0, text.size() - 2));
    EXPECT_EQ(editor.LeftbarDigits(), 4);
    const int left = editor.TextLeft();
    editor.SetText(text + std::string(10000 - 1234, '\n'));
    EXPECT_EQ(editor.LeftbarDigits(), 5);
    EXPECT_EQ(editor.TextLeft(), left + editor.CharWidth());
    editor.Leftbar()->SetColumn(0);
    EXPECT_EQ(editor.Leftbar()->Column(), 1);
    editor.Leftbar()->SetColumn(12);
    EXPECT_EQ(editor.Leftbar()->Column(), 8);
    editor.Ruler()->SetGaugeRange(9);
    EXPECT_EQ(editor.Ruler()->GaugeRange(), 8);

    const int height = editor.RowHeight();
    editor.Marks()->Underline()->SetVisible(true);
    EXPECT_EQ(editor.RowHeight(), height + 1);
    editor.Marks()->Underline()->SetVisible(false);
    EXPECT_EQ(editor.RowHeight(), height);
    editor.Ruler()->SetVisible(true);
    EXPECT_EQ(editor.TextTop(), editor.Margin()->Top() + 11);
}

TEST_F(EditorView, HitTestGivesRowAndByteBeyondSixteenBits)
{
    editor.SetText("ab" + Hira + "cd\r\n" + std::string(70000, 'z'));
    const int cw = editor.CharWidth();
    const QPoint onKanaRightHalf = editor.CellPos(0, 3) + QPoint(1, 2);
    TEditorHitTest hit = editor.HitTest(onKanaRightHalf);
    EXPECT_EQ(hit.Area, TEditorArea::Text);
    EXPECT_EQ(hit.Col, 4);  // after the double-byte character
    EXPECT_EQ(hit.Byte, 4);
    hit = editor.HitTest(editor.CellPos(0, 2) + QPoint(cw / 2 - 1, 2));
    EXPECT_EQ(hit.Col, 2);
    editor.SetTopCol(990);
    hit = editor.HitTest(editor.CellPos(1, 995) + QPoint(1, 2));
    EXPECT_EQ(hit.Row, 1);
    EXPECT_EQ(hit.Col, 995);
    editor.Leftbar()->SetVisible(true);
    EXPECT_EQ(editor.HitTest(QPoint(editor.Imagebar()->Width() + 2, editor.TextTop() + 2)).Area, TEditorArea::Leftbar);
    EXPECT_EQ(editor.HitTest(QPoint(1, editor.TextTop() + 2)).Area, TEditorArea::Imagebar);
    EXPECT_EQ(editor.HitTest(QPoint(-1, 5)).Area, TEditorArea::Outside);
}

TEST_F(EditorView, SelectedAndHitCellsArePaintedInTheirColours)
{
    editor.setFocus();
    editor.SetText("select name from emp\r\nwhere id = 1");
    editor.View()->Colors()->Select()->SetBkColor(clNavy);
    editor.View()->Colors()->Hit()->SetBkColor(clYellow);
    editor.View()->Colors()->Hit()->SetColor(clRed);
    editor.SetSelStart(7);
    editor.SetSelLength(4);  // "name"
    QImage image = Grab();
    // The colour most pixels of a cell of row 0 have: the background under the glyph.
    auto pixel = [&](int col) {
        std::map<QRgb, int> counts;
        const QPoint cell = editor.CellPos(0, col);
        for (int x = cell.x(); x < cell.x() + editor.CharWidth(); ++x)
            for (int y = cell.y(); y < cell.y() + editor.FontHeight(); ++y)
                ++counts[image.pixel(x, y)];
        return QColor(std::max_element(counts.begin(), counts.end(), [](auto &a, auto &b) { return a.second < b.second; })->first);
    };
    EXPECT_EQ(pixel(8), QColor(0, 0, 128));  // inside the selection
    EXPECT_EQ(pixel(2), QColor(Qt::white));
    EXPECT_EQ(pixel(13), QColor(Qt::white));
    // A search hit drawn in the hit colours.
    editor.SetHitStyle(hsDraw);
    editor.SetSelStart(12);
    editor.ShowHit(4);  // "from"
    image = Grab();
    EXPECT_EQ(pixel(13), QColor(255, 255, 0));
    EXPECT_EQ(pixel(8), QColor(Qt::white));
    // Some text of the hit is drawn in the hit's text colour.
    bool red = false;
    for (int x = editor.CellPos(0, 12).x(); x < editor.CellPos(0, 16).x(); ++x)
        for (int yy = editor.CellPos(0, 0).y(); yy < editor.CellPos(1, 0).y(); ++yy)
            red = red || (QColor(image.pixel(x, yy)).red() > 200 && QColor(image.pixel(x, yy)).green() < 120);
    EXPECT_TRUE(red);
}

TEST_F(EditorView, HugeRowsAndBadBytesArePaintedWithoutLoss)
{
    std::string line(10 * 1024 * 1024, 'a');
    line[5] = '\0';
    line[500] = '\x82';  // a lead byte followed by an ordinary letter
    editor.SetText(line);
    editor.Marks()->HideMark()->SetVisible(true);
    (void)Grab();
    Key(Qt::Key_End);
    EXPECT_LE(editor.Col(), 1001);
    Type("q");
    EXPECT_EQ(editor.Model().Store().Length(0), static_cast<int>(line.size()) + 1);
    editor.SetTopCol(2000);
    EXPECT_LE(editor.TopCol(), 1000);
    (void)Grab();
    editor.Model().SelectBox(0, 0, 0, 5000);
    EXPECT_GE(editor.SelLength(), 1000);
    EXPECT_EQ(editor.SelText().size(), static_cast<std::size_t>(editor.SelLength()));
    EXPECT_EQ(editor.Text().size(), line.size() + 1);
}

} // namespace

namespace {

TEST_F(EditorView, LeftBarNumbersRowsOrLines)
{
    editor.Leftbar()->SetVisible(true);
    editor.SetText("a\r\nb\r\n");
    EXPECT_EQ(editor.RowNumber(0), "   1");
    EXPECT_EQ(editor.RowNumber(2), "   3");  // the position below a final line break
    EXPECT_EQ(editor.RowNumber(3), "");
    editor.Leftbar()->SetZeroLead(true);
    editor.Leftbar()->SetZeroBase(true);
    EXPECT_EQ(editor.RowNumber(7), "");
    editor.SetText(std::string(20, '\n'));
    EXPECT_EQ(editor.RowNumber(7), "0007");
    // Numbered by line, a wrapped line shows its number on its first row only.
    editor.Leftbar()->SetZeroLead(false);
    editor.Leftbar()->SetZeroBase(false);
    editor.Leftbar()->SetShowNumberMode(nmLine);
    editor.WrapOption()->SetWrapByte(20);
    editor.SetWordWrap(true);
    editor.SetText("x\r\n" + std::string(50, 'y') + "\r\nz");
    ASSERT_EQ(editor.RowCount(), 5);
    EXPECT_EQ(editor.RowNumber(1), "   2");
    EXPECT_EQ(editor.RowNumber(2), "");
    EXPECT_EQ(editor.RowNumber(3), "");
    EXPECT_EQ(editor.RowNumber(4), "   3");
}

TEST_F(EditorView, MarksAreDrawnFromTheGivenPicturesOrTheBuiltInOnes)
{
    editor.Imagebar()->SetMarkWidth(12);
    editor.SetText("a\r\nb\r\nc");
    QPixmap green(11, 11);
    green.fill(Qt::green);
    editor.SetImageMarks({green, green});
    editor.Model().PutMark(0, 11);
    editor.Model().PutMark(1, 12);
    editor.Model().PutMark(2, 3);
    const QImage image = Grab();
    const int x = editor.Imagebar()->LeftMargin() + editor.Imagebar()->DigitWidth() + 5;
    EXPECT_EQ(QColor(image.pixel(x, editor.CellPos(0, 0).y() + 7)), QColor(Qt::green));
    EXPECT_NE(QColor(image.pixel(x, editor.CellPos(1, 0).y() + 7)), QColor(Qt::green));
    EXPECT_NE(QColor(image.pixel(x, editor.CellPos(1, 0).y() + 7)), QColor(Qt::white));
    // The numbered mark's built-in picture sits in the digit cell.
    EXPECT_NE(QColor(image.pixel(editor.Imagebar()->LeftMargin() + 1, editor.CellPos(2, 0).y() + 6)), QColor(Qt::white));
    EXPECT_EQ(QColor(image.pixel(editor.Imagebar()->LeftMargin() + 1, editor.CellPos(1, 0).y() + 6)), QColor(Qt::white));
}

TEST_F(EditorView, ReadOnlyBlocksTheUserNotTheHost)
{
    editor.SetText("abc");
    editor.SetReadOnly(true);
    editor.SetSelStart(3);
    Type("x");
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("y"));
    QCoreApplication::sendEvent(&editor, &commit);
    EXPECT_EQ(editor.Text(), "abc");
    editor.SetSelText("\r\nlog");
    EXPECT_EQ(editor.Text(), "abc\r\nlog");
}

} // namespace

namespace {

TEST(EditorFont, WindowsFontNamesMapToAnInstalledJapaneseFontWithDoubleWidthCharacters)
{
    EXPECT_EQ(editor::MappedFontFamily(QStringLiteral("ＭＳ ゴシック")), QStringLiteral("IPAGothic"));
    EXPECT_EQ(editor::MappedFontFamily(QStringLiteral("fixedsys")), QStringLiteral("IPAGothic"));
    EXPECT_EQ(editor::MappedFontFamily(QStringLiteral("ＭＳ Ｐゴシック")), QStringLiteral("IPAPGothic"));
    EXPECT_EQ(editor::MappedFontFamily(QStringLiteral("No Such Font 123")), QStringLiteral("IPAGothic"));
    TFont font;
    font.SetName(QStringLiteral("ＭＳ ゴシック"));
    font.SetHeight(-16);
    editor::TCellPainter cells;
    cells.SetFont(editor::EditorQFont(font), 0);
    const QFontMetricsF metrics(cells.Font());
    // A kanji fits the two cells it is given, and half-width letters fit one.
    EXPECT_LE(metrics.horizontalAdvance(QStringLiteral("漢")), 2.0 * cells.CharWidth());
    EXPECT_LE(metrics.horizontalAdvance(QStringLiteral("M")), 1.0 * cells.CharWidth());
    EXPECT_GE(metrics.horizontalAdvance(QStringLiteral("漢")), 1.5 * cells.CharWidth());
    EXPECT_EQ(editor::CellChar(0x82, 0xA0), QChar(0x3042));
    EXPECT_EQ(editor::CellChar(0x82, 0x20), QChar(0xFFFD));  // not a trail byte
}

} // namespace

namespace {

// What the window shows after edits that move rows (its pixels partly moved, partly repainted)
// is what painting it afresh shows.
TEST_F(EditorView, EditsThatMoveRowsLeaveTheScreenAsAFreshPaint)
{
    editor.Leftbar()->SetVisible(true);
    editor.Marks()->RetMark()->SetVisible(true);
    editor.Marks()->EofMark()->SetVisible(true);
    editor.Marks()->Underline()->SetVisible(true);
    editor.View()->SetCommenter(QStringLiteral("--"));
    editor.View()->Fountain()->EditorBrackets()->AddBracket("/*", "*/");
    editor.View()->Colors()->Comment()->SetColor(clGreen);
    editor.View()->Fountain()->EditorBrackets()->BracketItem(0)->ItemColor()->SetColor(clRed);
    std::string text;
    for (int i = 0; i < 30; ++i)
        text += "row " + std::to_string(i) + " -- note\r\n";
    editor.SetText(text);
    QTest::qWait(20);
    editor.SetSelStart(editor.Perform(EM_LINEINDEX, 3));
    Key(Qt::Key_Return);
    Type("/* open");
    Key(Qt::Key_Return);
    Key(Qt::Key_Down);
    Key(Qt::Key_Backspace);
    Key(Qt::Key_Backspace);
    Key(Qt::Key_Delete, Qt::ShiftModifier);
    QTest::qWait(20);
    // The window's own pixels, as the offscreen desktop keeps them.
    QBackingStore *store = editor.backingStore();
    ASSERT_NE(store, nullptr);
    ASSERT_EQ(store->paintDevice()->devType(), QInternal::Image);
    const QImage shown = static_cast<QImage *>(store->paintDevice())->copy(editor.rect()).convertToFormat(QImage::Format_RGB32);
    editor.SetReadOnly(true);  // nothing changes; the fresh paint below must equal the screen
    QImage fresh(editor.size(), QImage::Format_RGB32);
    editor.render(&fresh);
    ASSERT_EQ(shown.size(), fresh.size());
    // The caret blinks; compare everything but its cell.
    const QRect caret(editor.CellPos(editor.Row(), editor.Col()) - QPoint(1, 0), QSize(4, editor.RowHeight()));
    int differences = 0;
    for (int y = 0; y < fresh.height(); ++y)
        for (int x = 0; x < fresh.width(); ++x)
            if (!caret.contains(x, y) && shown.pixel(x, y) != fresh.pixel(x, y))
                ++differences;
    EXPECT_EQ(differences, 0);
}

} // namespace

namespace {

TEST_F(EditorView, RulerMarksTheCaretColumnAndCutRowsShowTheHideMark)
{
    editor.Ruler()->SetVisible(true);
    editor.Ruler()->SetMarkColor(clRed);
    editor.Marks()->HideMark()->SetVisible(true);
    editor.Marks()->HideMark()->SetColor(clBlue);
    editor.SetText("abcdefgh\r\n" + std::string(1200, 'w'));
    editor.SetSelStart(5);
    QImage image = Grab();
    const int cw = editor.CharWidth();
    const int rulerY = editor.Margin()->Top() + 7;
    auto rulerPixel = [&](int col) { return QColor(image.pixel(editor.CellPos(0, col).x() + cw / 2, rulerY)); };
    EXPECT_EQ(rulerPixel(5), QColor(255, 0, 0));
    EXPECT_NE(rulerPixel(3), QColor(255, 0, 0));
    QTest::keyClick(&editor, Qt::Key_Right);
    image = Grab();
    EXPECT_NE(rulerPixel(5), QColor(255, 0, 0));
    EXPECT_EQ(rulerPixel(6), QColor(255, 0, 0));
    // The row cut at column 1000 shows the hide mark just after it; the short row shows none.
    editor.SetTopCol(995);
    image = Grab();
    auto blueIn = [&](int row) {
        const QPoint cell = editor.CellPos(row, 1000);
        for (int x = cell.x(); x < cell.x() + 2 * cw; ++x)
            for (int y = cell.y(); y < cell.y() + editor.FontHeight(); ++y)
                if (QColor(image.pixel(x, y)) == QColor(0, 0, 255))
                    return true;
        return false;
    };
    EXPECT_TRUE(blueIn(1));
    EXPECT_FALSE(blueIn(0));
}

} // namespace

namespace {

TEST_F(EditorView, HostKeyHandlersRunFirstAndMaySwallowTheKey)
{
    editor.SetText("ab");
    editor.SetSelStart(2);
    int seen = 0;
    editor.OnKeyDown = [&](TEditor *, int &key, Qt::KeyboardModifiers) {
        ++seen;
        if (key == Qt::Key_F8 || key == Qt::Key_Backspace)
            key = 0;
    };
    editor.OnKeyPress = [](TEditor *, QString &text) {
        if (text == QStringLiteral("q"))
            text.clear();
    };
    Key(Qt::Key_Backspace);
    Type("qz");
    EXPECT_EQ(editor.Text(), "abz");
    EXPECT_EQ(seen, 3);
}

} // namespace

namespace {

TEST_F(EditorView, EditingKeysReachTheEditorBeforeTheWindowsShortcuts)
{
    QAction deleteRow(&editor);
    deleteRow.setShortcut(Qt::Key_Delete);
    int triggered = 0;
    QObject::connect(&deleteRow, &QAction::triggered, [&] { ++triggered; });
    editor.addAction(&deleteRow);
    editor.SetText("abc");
    Key(Qt::Key_Delete);
    EXPECT_EQ(editor.Text(), "bc");
    EXPECT_EQ(triggered, 0);
    // Insert switches to overwriting.
    Key(Qt::Key_Insert);
    Type("X");
    EXPECT_EQ(editor.Text(), "Xc");
}

} // namespace
