#include "coursepainter.h"

#include "swatch.h"

#include <QPainter>

#include <algorithm>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace kn4::simulator {

namespace {

// Qt's raster fills run vector code that leaves the upper halves of the
// processor's vector registers in use. Until something clears them, every
// scalar floating-point instruction that follows pays for it: a simulation
// run straight after a paint (a zoom or pan, in the benchmark of the two)
// took twice as long. Clearing them here costs one instruction.
#if defined(__x86_64__)
__attribute__((target("avx"))) void clearUpperVectorHalves()
{
    _mm256_zeroupper();
}

void afterQtPainting()
{
    static const bool avx = __builtin_cpu_supports("avx");
    if (avx)
        clearUpperVectorHalves();
}
#else
void afterQtPainting() {}
#endif

} // namespace

void CoursePainter::paint(QPainter &painter, const DrawingList &drawing, const QRectF &target, int lineWidth,
                          const Progress &progress)
{
    lineWidth = std::max(1, lineWidth);
    const double width = target.width();
    const double height = target.height();
    const int left = int(target.left());
    const int top = int(target.top());
    auto px = [&](std::int32_t x) { return left + toDevice(x, width); };
    auto py = [&](std::int32_t y) { return top + toDevice(y, height); };

    painter.save();
    painter.setClipRect(target);
    painter.setRenderHint(QPainter::Antialiasing, false);
    QPen pen;
    pen.setCosmetic(true);
    pen.setWidth(lineWidth);
    std::size_t done = 0;
    for (const DrawPrimitive &p : drawing) {
        if (progress && ++done % kProgressStep == 0)
            progress(done, drawing.size());
        const QColor colour = toQColor(p.colour);
        switch (p.kind) {
        case DrawPrimitive::Kind::Clear:
            painter.fillRect(target, colour);
            break;
        case DrawPrimitive::Kind::Box: {
            const int x1 = std::min(px(p.x1), px(p.x2));
            const int x2 = std::max(px(p.x1), px(p.x2));
            const int y1 = std::min(py(p.y1), py(p.y2));
            const int y2 = std::max(py(p.y1), py(p.y2));
            if (p.filled) {
                painter.fillRect(QRect(QPoint(x1, y1), QPoint(x2, y2)), colour);
            } else {
                pen.setColor(colour);
                painter.setPen(pen);
                painter.setBrush(Qt::NoBrush);
                painter.drawRect(QRect(x1, y1, x2 - x1, y2 - y1));
            }
            break;
        }
        case DrawPrimitive::Kind::Line:
            pen.setColor(colour);
            painter.setPen(pen);
            painter.drawLine(px(p.x1), py(p.y1), px(p.x2), py(p.y2));
            break;
        case DrawPrimitive::Kind::Point:
            painter.fillRect(QRect(px(p.x1), py(p.y1), lineWidth, lineWidth), colour);
            break;
        }
    }
    painter.restore();
    afterQtPainting();
}

} // namespace kn4::simulator
