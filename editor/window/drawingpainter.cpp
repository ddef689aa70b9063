#include "window/drawingpainter.h"

#include "kn4/qtconvert.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPen>

#include <algorithm>

namespace kn4::editor {

namespace {

// A run of pixels on one row or column, both ends included.
void fillSpan(QPainter &painter, int x1, int y1, int x2, int y2, const QColor &colour)
{
    const int left = std::min(x1, x2);
    const int top = std::min(y1, y2);
    painter.fillRect(QRect(left, top, std::max(x1, x2) - left + 1, std::max(y1, y2) - top + 1), colour);
}

} // namespace

void paintKnitDrawing(QPainter &painter, const KnitPicture &picture)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.fillRect(painter.window(), Qt::white);

    for (const DrawingPrimitive &item : picture.primitives) {
        const QColor colour = toQColor(item.colour);
        if (item.kind == DrawingPrimitive::Kind::Text) {
            QFont font(QStringLiteral("Liberation Sans"));
            font.setPointSize(std::max(1, item.pointSize));
            font.setBold(item.bold);
            painter.setFont(font);
            painter.setPen(QPen(colour));
            const QFontMetrics metrics(font, painter.device());
            painter.drawText(QPoint(item.x1, item.y1 + metrics.ascent()),
                             fromCp1252(item.text));
        } else if (item.x1 == item.x2 || item.y1 == item.y2) {
            fillSpan(painter, item.x1, item.y1, item.x2, item.y2, colour);
        } else {
            // A slanted mark: a cosmetic 1-pixel line, its two ends set
            // explicitly so that both are drawn.
            QPen pen(colour, 0);
            pen.setCapStyle(Qt::SquareCap);
            painter.setPen(pen);
            painter.drawLine(item.x1, item.y1, item.x2, item.y2);
            painter.drawPoint(item.x1, item.y1);
            painter.drawPoint(item.x2, item.y2);
        }
    }
    painter.restore();
}

} // namespace kn4::editor
