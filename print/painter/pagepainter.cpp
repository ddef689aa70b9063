#include "pagepainter.h"

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPen>
#include <QString>

#include <type_traits>

namespace kn4 {

namespace {

QColor colour(std::uint32_t rgb)
{
    return QColor(int((rgb >> 16) & 0xFF), int((rgb >> 8) & 0xFF), int(rgb & 0xFF));
}

} // namespace

void PagePainter::paint(QPainter &painter, const PrintPage &page, const QRectF &target)
{
    const double sx = target.width() / page::kWidth;
    const double sy = target.height() / page::kHeight;
    // Device pixels per point of the reference page height.
    const double pixelsPerPoint = target.height() / page::kReferenceHeightPoints;
    auto px = [&](int x) { return target.left() + x * sx; };
    auto py = [&](int y) { return target.top() + y * sy; };

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (const page::Primitive &item : page.items) {
        std::visit(
            [&](const auto &p) {
                using T = std::decay_t<decltype(p)>;
                if constexpr (std::is_same_v<T, page::Text>) {
                    QFont font(p.face == page::Face::Sans ? QStringLiteral("Liberation Sans")
                                                          : QStringLiteral("Liberation Mono"));
                    font.setStyleHint(p.face == page::Face::Sans ? QFont::SansSerif : QFont::TypeWriter);
                    font.setPixelSize(std::max(1, int(p.points * pixelsPerPoint + 0.5)));
                    font.setBold(p.bold);
                    painter.setFont(font);
                    painter.setPen(Qt::black);
                    const QFontMetricsF metrics(font, painter.device());
                    painter.drawText(QPointF(px(p.x), py(p.y) + metrics.ascent()), QString::fromStdString(p.text));
                } else if constexpr (std::is_same_v<T, page::Line>) {
                    QPen pen(colour(p.rgb));
                    pen.setWidthF(std::max(1.0, 12 * sx));
                    painter.setPen(pen);
                    painter.drawLine(QPointF(px(p.x1), py(p.y1)), QPointF(px(p.x2), py(p.y2)));
                } else {
                    const QRectF box = QRectF(QPointF(px(p.x1), py(p.y1)), QPointF(px(p.x2), py(p.y2))).normalized();
                    painter.fillRect(box, colour(p.rgb));
                }
            },
            item);
    }
    painter.restore();
}

} // namespace kn4
