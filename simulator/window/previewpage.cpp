#include "previewpage.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace kn4::simulator {

namespace {

// A font whose size is given in the page's pixels, so the painter's scale
// takes it to paper as it takes the rest of the page.
QFont pageFont(QFont font)
{
    const QFontInfo info(font);
    if (font.pixelSize() <= 0)
        font.setPixelSize(std::max(1, info.pixelSize()));
    return font;
}

} // namespace

void PreviewPage::paint(QPainter &painter, const QRectF &target, const CoursePainter::Progress &progress) const
{
    if (size.isEmpty())
        return;
    const double factor = std::min(target.width() / size.width(), target.height() / size.height());
    const QPointF origin(target.left() + (target.width() - factor * size.width()) / 2,
                         target.top() + (target.height() - factor * size.height()) / 2);

    painter.save();
    painter.translate(origin);
    painter.scale(factor, factor);
    painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);

    painter.setPen(Qt::black);
    // A path too long for its line keeps its end, the panel's name.
    const QFont heading = pageFont(titleFont);
    painter.setFont(heading);
    const QString shownTitle = QFontMetrics(heading).elidedText(title, Qt::ElideLeft, titleRect.width());
    painter.drawText(titleRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shownTitle);

    painter.setFont(pageFont(textFont));
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignTop, text);

    for (const Swatch &swatch : swatches) {
        painter.fillRect(swatch.rect, swatch.colour);
        painter.setPen(Qt::black);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(swatch.rect.adjusted(0, 0, -1, -1));
        painter.drawText(swatch.rect, Qt::AlignCenter, swatch.text);
    }
    painter.restore();

    // The picture goes straight onto the device's own pixels: its course
    // lines land where the screen puts them, as sharp as the paper allows.
    if (drawing) {
        const QRectF picture(origin + factor * QPointF(pictureRect.topLeft()), factor * QSizeF(pictureRect.size()));
        const QPaintDevice *device = painter.device();
        const double dotsPerMillimetre = device ? device->logicalDpiX() / 25.4 : 1;
        const int lineWidth = std::max(1, int(std::lround(kLineMillimetres * dotsPerMillimetre)));
        CoursePainter::paint(painter, *drawing, picture, lineWidth, progress);
    }
}

} // namespace kn4::simulator
