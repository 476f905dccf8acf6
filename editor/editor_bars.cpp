// TEditor's margins: the corner, the ruler with the caret column marked, the left bar with row or
// line numbers, the image bar with the pictures of marks, the marks at row ends and the
// underline of the caret row.
#include "editor/editor.h"

#include <QPainter>

#include <array>

namespace {

// The ruler's built-in digits: 4 x 5 pixels, one string per row of pixels; "1" is two wide.
constexpr std::array<std::array<const char *, 5>, 10> RulerDigits = {{
    {".##.", "#..#", "#..#", "#..#", ".##."},
    {".#", "##", ".#", ".#", ".#"},
    {"###.", "...#", ".##.", "#...", "####"},
    {"###.", "...#", ".##.", "...#", "###."},
    {"#..#", "#..#", "####", "...#", "...#"},
    {"####", "#...", "###.", "...#", "###."},
    {".##.", "#...", "###.", "#..#", ".##."},
    {"####", "...#", "..#.", ".#..", ".#.."},
    {".##.", "#..#", ".##.", "#..#", ".##."},
    {".##.", "#..#", ".###", "...#", ".##."},
}};

// Draws a number with the built-in digits; returns the width used.
int DrawRulerNumber(QPainter &painter, int x, int y, int number, const QColor &color)
{
    const QString digits = QString::number(number);
    int advance = 0;
    for (const QChar digit : digits) {
        const auto &rows = RulerDigits[static_cast<std::size_t>(digit.digitValue())];
        for (int r = 0; r < 5; ++r) {
            for (int c = 0; rows[static_cast<std::size_t>(r)][c] != '\0'; ++c) {
                if (rows[static_cast<std::size_t>(r)][c] == '#')
                    painter.fillRect(x + advance + c, y + r, 1, 1, color);
            }
        }
        advance += digit == QLatin1Char('1') ? 3 : 5;
    }
    return advance;
}

// The built-in pictures of the numbered marks (8 x 11) and the image marks (11 x 11), made once.
const QList<QPixmap> &BuiltInDigits()
{
    static const QList<QPixmap> pictures = [] {
        QList<QPixmap> list;
        for (int n = 0; n < 10; ++n) {
            QPixmap picture(8, 11);
            picture.fill(Qt::transparent);
            QPainter painter(&picture);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setBrush(QColor(0, 0, 128));
            painter.setPen(Qt::NoPen);
            painter.drawRoundedRect(QRectF(0, 0, 8, 11), 2, 2);
            painter.setRenderHint(QPainter::Antialiasing, false);
            DrawRulerNumber(painter, n == 1 ? 3 : 2, 3, n, Qt::white);
            list.push_back(picture);
        }
        return list;
    }();
    return pictures;
}

const QList<QPixmap> &BuiltInMarks()
{
    static const QList<QPixmap> pictures = [] {
        const std::array<QColor, 6> colors = {QColor(220, 0, 0), QColor(0, 90, 220), QColor(0, 150, 0),
                                              QColor(230, 130, 0), QColor(140, 0, 160), QColor(0, 140, 140)};
        QList<QPixmap> list;
        for (int n = 0; n < 6; ++n) {
            QPixmap picture(11, 11);
            picture.fill(Qt::transparent);
            QPainter painter(&picture);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setBrush(colors[static_cast<std::size_t>(n)]);
            painter.setPen(Qt::NoPen);
            switch (n) {
            case 0: painter.drawEllipse(QRectF(0.5, 0.5, 10, 10)); break;
            case 1: painter.drawRect(QRectF(1, 1, 9, 9)); break;
            case 2: painter.drawPolygon(QPolygonF({QPointF(5.5, 0.5), QPointF(10.5, 10.5), QPointF(0.5, 10.5)})); break;
            case 3: painter.drawPolygon(QPolygonF({QPointF(5.5, 0), QPointF(11, 5.5), QPointF(5.5, 11), QPointF(0, 5.5)})); break;
            case 4:
                painter.drawRect(QRectF(4, 0, 3, 11));
                painter.drawRect(QRectF(0, 4, 11, 3));
                break;
            default: painter.drawPolygon(QPolygonF({QPointF(0, 3), QPointF(6, 3), QPointF(6, 0), QPointF(11, 5.5),
                                                    QPointF(6, 11), QPointF(6, 8), QPointF(0, 8)}));
            }
            list.push_back(picture);
        }
        return list;
    }();
    return pictures;
}

} // namespace

QColor TEditor::Resolve(TColor color, TColor fallback) const
{
    const QColor resolved = ColorToQColor(color == clNone ? fallback : color);
    return resolved.isValid() ? resolved : ColorToQColor(clBlack);
}

void TEditor::PaintCorner(QPainter &painter)
{
    const QColor background = Resolve(FColor, clWhite);
    painter.fillRect(QRect(0, 0, width() - ScrollBarWidth(), FTextTop), background);
    const int bars = FImagebar->Width() + FLeftbarWidth;
    if (FLeftbar->Visible() && FLeftbar->Edge() && FRuler->Visible()) {
        painter.fillRect(QRect(0, 0, bars, FTextTop), Resolve(FLeftbar->BkColor(), FColor));
        painter.fillRect(QRect(bars - 2, 0, 1, FTextTop), Qt::white);
        painter.fillRect(QRect(bars - 1, 0, 1, FTextTop), Qt::gray);
    }
}

void TEditor::PaintRuler(QPainter &painter)
{
    if (!FRuler->Visible())
        return;
    const int top = FMargin->Top();
    const int height = FRuler->Height();
    const int bottom = top + height - (FRuler->Edge() ? 2 : 1);
    const int left = FRuler->Edge() && FLeftbar->Visible() && FLeftbar->Edge() ? FImagebar->Width() + FLeftbarWidth : 0;
    const int right = width() - ScrollBarWidth();
    const QColor background = Resolve(FRuler->BkColor(), FColor);
    const QColor ink = Resolve(FRuler->Color(), FFont->Color());
    painter.save();
    painter.setClipRect(QRect(left, top, right - left, height));
    painter.fillRect(QRect(left, top, right - left, height), background);
    const int gauge = FRuler->GaugeRange();
    const int cw = CharWidth();
    const int firstCol = FTopCol - gauge;
    const int lastCol = std::min(editor::MaxColumns, FTopCol + VisibleCols() + gauge);
    for (int col = std::max(0, firstCol - firstCol % gauge); col <= lastCol; ++col) {
        const int x = FTextLeft + (col - FTopCol) * cw;
        if (x < FTextLeft - gauge * cw)
            continue;
        const bool marked = col == FModel.Col();
        const int within = col % gauge;
        if (marked)
            painter.fillRect(QRect(x, top, cw, bottom - top), Resolve(FRuler->MarkColor(), FFont->Color()));
        const int tickTop = within == 0 ? 0 : within == gauge / 2 ? 3 : 6;
        if (!marked && x >= FTextLeft)
            painter.fillRect(QRect(x, top + tickTop, 1, bottom - top - tickTop), ink);
        if (within == 0 && x >= FTextLeft)
            DrawRulerNumber(painter, x + 2, top + 1, col, marked ? background : ink);
    }
    // Past the last column the ruler is blank.
    const int end = FTextLeft + (editor::MaxColumns - FTopCol + 1) * cw;
    if (end < right)
        painter.fillRect(QRect(end, top, right - end, bottom - top), background);
    if (FRuler->Edge()) {
        painter.fillRect(QRect(left, bottom, right - left, 1), Qt::white);
        painter.fillRect(QRect(left, bottom + 1, right - left, 1), Qt::gray);
    } else {
        painter.fillRect(QRect(left, bottom, right - left, 1), ink);
    }
    painter.restore();
}

QString TEditor::RowNumber(int row) const
{
    const TEditorScreenStrings &store = FModel.Store();
    const int count = store.Count();
    if (row < 0 || row > count)
        return {};
    const int line = FLeftbar->ShowNumberMode() == nmLine ? store.LineFromRow(std::min(row, std::max(0, count - 1))) : row;
    return NumberOfRow(row, line + (row == count && count > 0 && FLeftbar->ShowNumberMode() == nmLine ? 1 : 0));
}

QString TEditor::NumberOfRow(int row, int line) const
{
    // Rows are numbered by position; with nmLine only the first row of each line, by its line.
    const TEditorScreenStrings &store = FModel.Store();
    const int count = store.Count();
    if (row > count || (row == count && count > 0 && store.RowAttribute(count - 1) == raEof))
        return {};
    int number = row;
    if (FLeftbar->ShowNumberMode() == nmLine) {
        if (row > 0 && store.RowAttribute(row - 1) == raWrapped)
            return {};
        number = line;
    }
    const QString text = QString::number(number + (FLeftbar->ZeroBase() ? 0 : 1));
    return text.rightJustified(FLeftbarDigits, FLeftbar->ZeroLead() ? QLatin1Char('0') : QLatin1Char(' '));
}

void TEditor::PaintLeftbar(QPainter &painter, int firstRow, int lastRow)
{
    if (!FLeftbar->Visible())
        return;
    const TEditorScreenStrings &store = FModel.Store();
    const int left = FImagebar->Width();
    const int bottom = height() - ScrollBarHeight();
    const QColor background = Resolve(FLeftbar->BkColor(), FColor);
    const QColor ink = Resolve(FLeftbar->Color(), FFont->Color());
    painter.fillRect(QRect(left, FTextTop, FLeftbarWidth, bottom - FTextTop), background);
    if (FLeftbar->ShowNumber()) {
        const bool byLine = FLeftbar->ShowNumberMode() == nmLine;
        // The line of the first row is counted once; below it lines advance at each line end.
        int line = byLine ? std::max(0, store.LineFromRow(std::min(firstRow, store.Count()))) : 0;
        for (int row = firstRow; row <= lastRow; ++row) {
            const QString number = NumberOfRow(row, line);
            if (!number.isEmpty())
                FCells.Draw(painter, left + FLeftbar->LeftMargin(), CellPos(row, 0).y(), number.toStdString(), {}, ink);
            if (byLine && row < store.Count() && store.RowAttribute(row) != raWrapped)
                ++line;
        }
    }
    const int edge = left + FLeftbarWidth - 2;
    painter.fillRect(QRect(edge, FTextTop, 1, bottom - FTextTop), FLeftbar->Edge() ? QColor(Qt::white) : background);
    painter.fillRect(QRect(edge + 1, FTextTop, 1, bottom - FTextTop), FLeftbar->Edge() ? QColor(Qt::gray) : ink);
}

void TEditor::PaintImagebar(QPainter &painter, int firstRow, int lastRow)
{
    const int barWidth = FImagebar->Width();
    // The margin between the bars and the text is the editor's colour.
    const int bottom = height() - ScrollBarHeight();
    const QColor background = FLeftbar->Visible() && FLeftbar->BkColor() != clNone ? Resolve(FLeftbar->BkColor(), FColor)
                                                                                   : Resolve(FColor, clWhite);
    painter.fillRect(QRect(barWidth + FLeftbarWidth, FTextTop, FMargin->Left(), bottom - FTextTop), Resolve(FColor, clWhite));
    if (barWidth == 0)
        return;
    painter.fillRect(QRect(0, FTextTop, barWidth, bottom - FTextTop), background);
    const int count = RowCount();
    for (int row = firstRow; row <= std::min(lastRow, count - 1); ++row) {
        const std::uint16_t marks = FModel.RowMarks(row);
        if (marks == 0)
            continue;
        const int y = CellPos(row, 0).y() + 2;
        for (int mark = 0; mark < 10; ++mark) {
            if (marks & (1u << mark)) {
                const QPixmap &picture = mark < FImageDigits.size() && !FImageDigits[mark].isNull() ? FImageDigits[mark]
                                                                                                   : BuiltInDigits()[mark];
                painter.drawPixmap(FImagebar->LeftMargin(), y, picture);
                break;
            }
        }
        for (int mark = 10; mark < 16; ++mark) {
            if (marks & (1u << mark)) {
                const int index = mark - 10;
                const QPixmap &picture = index < FImageMarks.size() && !FImageMarks[index].isNull() ? FImageMarks[index]
                                                                                                  : BuiltInMarks()[index];
                painter.drawPixmap(FImagebar->LeftMargin() + FImagebar->DigitWidth(), y, picture);
                break;
            }
        }
    }
}

void TEditor::PaintRowMark(QPainter &painter, int row, int columns, int y, bool selected, bool cut)
{
    const TEditorScreenStrings &store = FModel.Store();
    const int cw = CharWidth();
    const int h = FCells.FontHeight();
    const int x = FTextLeft + (std::min(columns, editor::MaxColumns + 1) - FTopCol) * cw;
    if (x < FTextLeft || x >= width())
        return;
    const TRowAttribute attribute = store.RowAttribute(row);
    TEditorColors *colors = FView->Fountain()->Colors();
    const TFountainColor *selection = FModel.Hit() ? colors->Hit() : colors->Select();
    auto pen = [&](TEditorMark *mark) {
        painter.setPen(selected ? Resolve(selection->Color(), FColor) : Resolve(mark->Color(), FFont->Color()));
    };
    const int e = std::max(2, cw * 3 / 5);
    const int m = y + h / 2;
    if (cut) {
        if (!FMarks->HideMark()->Visible())
            return;
        pen(FMarks->HideMark());
        painter.drawPolyline(QPolygon({QPoint(x + cw - e, m - e), QPoint(x + cw, m), QPoint(x + cw - e - 1, m + e + 1)}));
        return;
    }
    if (attribute == raEof && row == store.Count() - 1) {
        if (FMarks->EofMark()->Visible() && !selected)
            PaintEof(painter, x, y);
    } else if (attribute == raCrlf && FMarks->RetMark()->Visible()) {
        pen(FMarks->RetMark());
        const int d = std::max(1, h / 8);
        const int f = std::max(d, 3);
        const int cx = x + cw / 2;
        const int end = y + h - 2 * d;
        painter.drawLine(cx, y + 2 * d, cx, end);
        painter.drawLine(cx, end, cx - f, end - f);
        painter.drawLine(cx, end, cx + f, end - f);
    } else if (attribute == raWrapped && FMarks->WrapMark()->Visible()) {
        pen(FMarks->WrapMark());
        painter.drawPolyline(QPolygon({QPoint(x + cw, m - e), QPoint(x + cw - e, m), QPoint(x + cw + 1, m + e + 1)}));
    }
}

void TEditor::PaintUnderline(QPainter &painter)
{
    FUnderlineRow = -1;
    if (!FMarks->Underline()->Visible() || FModel.Selected())
        return;
    const int y = CellPos(FModel.Row(), 0).y() + FCells.FontHeight();
    if (y < FTextTop || y >= height() - ScrollBarHeight())
        return;
    painter.fillRect(QRect(FTextLeft, y, width() - FTextLeft, 1), Resolve(FMarks->Underline()->Color(), FFont->Color()));
    FUnderlineRow = FModel.Row();
}
