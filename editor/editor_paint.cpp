// TEditor painting: serving a paint request row by row, each row in the colours its parser gives
// its tokens, the selected or hit part in the selection colours, the marks at row ends, the
// input method's composition and the caret.
#include "editor/editor.h"

#include "syntax/fountain.h"
#include "syntax/fountain_parser.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

namespace {

// The row's text as painted: tabs expanded, at most the columns the editor shows (one more when
// a double-byte character begins on the last of them).
std::string DisplayText(std::string_view row, const editor::TColumnRules &rules, bool &cut)
{
    const int limitByte = editor::ColumnToByte(row, editor::MaxColumns + 2, rules);
    std::string text = editor::ExpandTabs(row.substr(0, static_cast<std::size_t>(limitByte)), rules);
    int columns = std::min<int>(static_cast<int>(text.size()), editor::MaxColumns);
    if (columns == editor::MaxColumns && columns < static_cast<int>(text.size()) &&
        editor::TAttributeString(text, {rules.TabSpaceCount, false, 80}, editor::MaxColumns + 1).At(editor::MaxColumns) ==
            editor::acLead)
        ++columns;
    cut = editor::RowWidth(row, rules) > columns;
    text.resize(static_cast<std::size_t>(columns));
    return text;
}

} // namespace

void TEditor::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QRect clip = event->rect();
    const int right = width() - ScrollBarWidth();
    const int bottom = height() - ScrollBarHeight();
    if (ScrollBarWidth() > 0 && ScrollBarHeight() > 0)
        painter.fillRect(QRect(right, bottom, width() - right, height() - bottom), palette().window());
    if (clip.top() < FTextTop) {
        PaintCorner(painter);
        PaintRuler(painter);
    }
    const int first = FTopRow + std::max(0, clip.top() - FTextTop) / FRowHeight;
    const int last = std::min(FTopRow + std::max(0, clip.bottom() - FTextTop) / FRowHeight, FTopRow + VisibleRows() + 1);
    painter.setClipRect(QRect(0, FTextTop, right, bottom - FTextTop) & clip);
    if (clip.left() < FTextLeft) {
        PaintImagebar(painter, first, last);
        PaintLeftbar(painter, first, last);
    }
    FModel.Store().EnsureRowStates(std::min(last, RowCount() - 1));
    const std::unique_ptr<TFountainParser> parser = ActiveFountain()->CreateParser();
    for (int row = first; row <= last; ++row)
        PaintRow(painter, *parser, row, CellPos(row, 0).y(), clip);
    painter.setClipRect(QRect(FTextLeft, FTextTop, right - FTextLeft, bottom - FTextTop) & clip);
    PaintComposition(painter);
    PaintUnderline(painter);
    PaintCaret(painter);
}

void TEditor::PaintRow(QPainter &painter, TFountainParser &parser, int row, int y, const QRect &clip)
{
    const int barsRight = FImagebar->Width() + FLeftbarWidth;
    const int right = width() - ScrollBarWidth();
    const QRect rowRect(barsRight, y, right - barsRight, FRowHeight);
    if (!rowRect.intersects(clip))
        return;
    painter.fillRect(rowRect, Resolve(FColor, clWhite));
    const TEditorScreenStrings &store = FModel.Store();
    const int count = store.Count();
    const int x0 = FTextLeft - FTopCol * CharWidth();
    if (row >= count) {
        if (row == count && FMarks->EofMark()->Visible() && (count == 0 || store.RowAttribute(count - 1) != raEof))
            PaintEof(painter, x0, y);
        return;
    }
    const editor::TColumnRules rules = FModel.ColumnRules();
    bool cut = false;
    const std::string text = DisplayText(store.View(row), rules, cut);
    const int columns = static_cast<int>(text.size());
    // A wrapped row is parsed with the row it runs into, so that a token broken by the wrap is
    // recognised whole.
    std::string parsed = text;
    if (store.RowAttribute(row) == raWrapped && row + 1 < count)
        parsed += editor::ExpandTabs(store.View(row + 1), rules);
    const QRect textClip = QRect(FTextLeft, y, right - FTextLeft, FRowHeight) & clip;
    painter.save();
    painter.setClipRect(textClip);
    if (x0 + (columns + 5) * CharWidth() >= FTextLeft)
        PaintRowText(painter, parser, row, parsed, columns, y, false);
    if (OnDrawLine)
        OnDrawLine(this, painter, text, x0, y, row, rowRect, false);
    PaintRowMark(painter, row, columns, y, false, cut);
    painter.restore();
    PaintSelectedPart(painter, parser, row, parsed, columns, y, textClip);
}

void TEditor::PaintRowText(QPainter &painter, TFountainParser &parser, int row, const std::string &text, int limit,
                           int y, bool selected)
{
    const int x0 = FTextLeft - FTopCol * CharWidth();
    const int right = width();
    const QColor background = Resolve(FColor, clWhite);
    const QColor fontColor = Resolve(FFont->Color(), clBlack);
    TEditorColors *colors = FView->Fountain()->Colors();
    const TFountainColor *selection = FModel.Hit() ? colors->Hit() : colors->Select();
    const QColor selectedText = Resolve(selection->Color(), FColor);
    parser.StartRow(text, FModel.Store().ParseState(row));
    while (parser.NextToken() != ftEnd) {
        const int offset = parser.TokenOffset();
        if (offset >= limit)
            break;
        const int length = std::min(parser.TokenLength(), limit - offset);
        const int left = x0 + offset * CharWidth();
        if (left + length * CharWidth() < FTextLeft)
            continue;
        if (left > right)
            break;
        const TFountainColor *color = parser.TokenColor();
        const TFontStyles style = color ? color->Style() : TFontStyles();
        QColor foreground = selectedText;
        if (!selected) {
            foreground = color && color->Color() != clNone ? Resolve(color->Color(), clBlack) : fontColor;
            if (color && color->BkColor() != clNone && Resolve(color->BkColor(), clWhite) != background)
                painter.fillRect(QRect(left, y, length * CharWidth(), FCells.FontHeight()), Resolve(color->BkColor(), clWhite));
        }
        FCells.Draw(painter, left, y, std::string_view(text).substr(static_cast<std::size_t>(offset), static_cast<std::size_t>(length)),
                    style, foreground);
    }
}

void TEditor::PaintSelectedPart(QPainter &painter, TFountainParser &parser, int row, const std::string &text, int limit,
                                int y, const QRect &clip)
{
    const TEditorModel::TSelectionColumns range = FModel.SelectionColumns();
    if (!FModel.Selected() || row < range.FirstRow || row > range.LastRow)
        return;
    int start = 0;
    int end = editor::MaxColumns + 2;
    if (range.Box) {
        start = range.StartCol;
        end = range.EndCol;
    } else {
        if (row == range.FirstRow)
            start = range.StartCol;
        if (row == range.LastRow)
            end = range.EndCol;
    }
    // An edge on the second half of a double-byte character moves one cell right.
    auto adjust = [&](int col) {
        return col > 0 && col < static_cast<int>(text.size()) && cp932::IsTrailByteAt(text, static_cast<std::size_t>(col)) ? col + 1 : col;
    };
    start = adjust(start);
    end = adjust(end);
    const bool lastRowOfText = row == FModel.RowCount() - 1;
    const bool lineBreakSelected = !range.Box && row < range.LastRow && !lastRowOfText;
    if (end <= start && !lineBreakSelected)
        return;
    const int x0 = FTextLeft - FTopCol * CharWidth();
    int rightEdge = x0 + end * CharWidth();
    if (!range.Box && row != range.LastRow)
        rightEdge = std::min(width(), x0 + (std::min(limit, editor::MaxColumns) + 1) * CharWidth());
    const QRect part = QRect(QPoint(x0 + start * CharWidth(), y), QPoint(rightEdge - 1, y + FRowHeight - 1)) & clip;
    if (part.isEmpty())
        return;
    TEditorColors *colors = FView->Fountain()->Colors();
    const TFountainColor *selection = FModel.Hit() ? colors->Hit() : colors->Select();
    painter.save();
    painter.setClipRect(part);
    painter.fillRect(part, Resolve(selection->BkColor(), FFont->Color()));
    PaintRowText(painter, parser, row, text, limit, y, true);
    if (OnDrawLine)
        OnDrawLine(this, painter, text.substr(0, static_cast<std::size_t>(std::min<int>(limit, static_cast<int>(text.size())))), x0, y, row,
                   part, true);
    PaintRowMark(painter, row, limit, y, true, false);
    painter.restore();
}

void TEditor::PaintEof(QPainter &painter, int x, int y)
{
    const QRect box(x, y, 6 * CharWidth(), FCells.FontHeight());
    painter.fillRect(box, Resolve(FColor, clWhite));
    FCells.Draw(painter, x, y, "[EOF]", {}, Resolve(FMarks->EofMark()->Color(), FFont->Color()));
}

void TEditor::PaintComposition(QPainter &painter)
{
    const std::string &composition = FModel.Composition();
    if (composition.empty() || !hasFocus())
        return;
    const QPoint at = CellPos(FModel.Row(), FModel.Col());
    const int columns = cp932::DisplayWidth(composition);
    painter.fillRect(QRect(at.x(), at.y(), columns * CharWidth(), FCells.FontHeight()), Resolve(FColor, clWhite));
    const QColor color = Resolve(FFont->Color(), clBlack);
    FCells.Draw(painter, at.x(), at.y(), composition, {}, color);
    painter.setPen(color);
    const int underline = at.y() + FCells.FontHeight() - 1;
    painter.drawLine(at.x(), underline, at.x() + columns * CharWidth() - 1, underline);
}

void TEditor::PaintCaret(QPainter &painter)
{
    FCaretShown = QRect();
    if (!hasFocus() || !FCaretOn)
        return;
    const QRect caret = CaretRect();
    if (!caret.isValid() || !TextArea().intersects(caret))
        return;
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.fillRect(caret, Qt::white);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    FCaretShown = caret;
}
