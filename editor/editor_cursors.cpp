// The editor's cursors.
#include "editor/editor_cursors.h"

#include "editor/editor_options.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace editor {

namespace {

// The outline of an arrow pointing up-left with its tip at (1, 1), 11 by 17 pixels.
QPainterPath ArrowPath()
{
    QPainterPath path;
    path.moveTo(1, 1);
    path.lineTo(1, 15);
    path.lineTo(4.5, 11.5);
    path.lineTo(7, 17);
    path.lineTo(9, 16);
    path.lineTo(6.5, 10.5);
    path.lineTo(11, 10.5);
    path.closeSubpath();
    return path;
}

QPixmap Canvas()
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

void DrawArrow(QPainter &painter)
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::white, 1.5));
    painter.setBrush(Qt::black);
    painter.drawPath(ArrowPath());
}

// The arrow mirrored, pointing up-right: rows are selected by pointing at them from the left.
QCursor MakeRightArrow()
{
    QPixmap pixmap = Canvas();
    QPainter painter(&pixmap);
    painter.translate(32, 0);
    painter.scale(-1, 1);
    DrawArrow(painter);
    painter.end();
    return QCursor(pixmap, 30, 1);
}

// The arrow with a small sheet and a plus sign below it: the dragged text is copied.
QCursor MakeDragSelCopy()
{
    QPixmap pixmap = Canvas();
    QPainter painter(&pixmap);
    DrawArrow(painter);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::white);
    painter.drawRect(9, 18, 12, 9);
    painter.drawLine(15, 20, 15, 25);
    painter.drawLine(12, 22, 18, 22);
    painter.end();
    return QCursor(pixmap, 1, 1);
}

} // namespace

QCursor EditorCursor(TCursor cursor)
{
    if (cursor == crRightArrow) {
        static const QCursor rightArrow = MakeRightArrow();
        return rightArrow;
    }
    if (cursor == crDragSelCopy) {
        static const QCursor dragSelCopy = MakeDragSelCopy();
        return dragSelCopy;
    }
    return QCursor(cursor == crDefault ? Qt::ArrowCursor : CursorToShape(cursor));
}

} // namespace editor
