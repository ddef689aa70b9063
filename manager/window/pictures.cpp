#include "window/pictures.h"

#include <QPainter>
#include <QPainterPath>

namespace kn4::manager {

namespace {

constexpr int kWidth = 84;
constexpr int kHeight = 70;
constexpr int kSymbolHeight = 50;

void drawArrow(QPainter &p, bool right)
{
    const int y = kSymbolHeight / 2;
    QPainterPath arrow;
    if (right) {
        arrow.moveTo(18, y - 6); arrow.lineTo(48, y - 6); arrow.lineTo(48, y - 15);
        arrow.lineTo(66, y);     arrow.lineTo(48, y + 15); arrow.lineTo(48, y + 6);
        arrow.lineTo(18, y + 6);
    } else {
        arrow.moveTo(66, y - 6); arrow.lineTo(36, y - 6); arrow.lineTo(36, y - 15);
        arrow.lineTo(18, y);     arrow.lineTo(36, y + 15); arrow.lineTo(36, y + 6);
        arrow.lineTo(66, y + 6);
    }
    arrow.closeSubpath();
    p.setBrush(QColor(40, 110, 200));
    p.drawPath(arrow);
}

void drawSheet(QPainter &p, int x, int y)
{
    p.setBrush(Qt::white);
    p.drawRect(x, y, 26, 34);
    for (int line = 0; line < 4; ++line)
        p.drawLine(x + 4, y + 8 + line * 6, x + 22, y + 8 + line * 6);
}

} // namespace

QPixmap drawPicture(PictureKind kind, const QString &caption)
{
    QPixmap pixmap(kWidth, kHeight);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1.5));
    switch (kind) {
    case PictureKind::Editor: {
        drawSheet(p, 22, 8);
        // A pencil across the sheet.
        p.save();
        p.translate(54, 12);
        p.rotate(40);
        p.setBrush(QColor(240, 190, 40));
        p.drawRect(0, 0, 8, 30);
        p.setBrush(QColor(90, 60, 30));
        p.drawPolygon(QPolygonF({QPointF(0, 30), QPointF(8, 30), QPointF(4, 38)}));
        p.restore();
        break;
    }
    case PictureKind::Simulator: {
        // A few courses of knitted stitches in two yarn colours.
        for (int row = 0; row < 4; ++row) {
            p.setPen(QPen(row % 2 ? QColor(200, 40, 40) : QColor(40, 90, 200), 2.5));
            for (int col = 0; col < 6; ++col) {
                const int x = 16 + col * 9;
                const int y = 8 + row * 9;
                p.drawLine(x, y, x + 4, y + 8);
                p.drawLine(x + 4, y + 8, x + 8, y);
            }
        }
        break;
    }
    case PictureKind::Print: {
        p.setBrush(Qt::white);
        p.drawRect(28, 4, 28, 16);
        p.setBrush(QColor(150, 150, 150));
        p.drawRoundedRect(16, 18, 52, 20, 4, 4);
        p.setBrush(Qt::white);
        p.drawRect(26, 32, 32, 14);
        break;
    }
    case PictureKind::Delete: {
        p.setBrush(QColor(170, 170, 170));
        p.drawRect(28, 12, 28, 34);
        p.drawRect(24, 7, 36, 5);
        p.drawRect(37, 3, 10, 4);
        for (int x = 34; x <= 50; x += 8)
            p.drawLine(x, 17, x, 41);
        break;
    }
    case PictureKind::CopyToDisk: drawArrow(p, true); break;
    case PictureKind::CopyToArchive: drawArrow(p, false); break;
    case PictureKind::NewName: {
        drawSheet(p, 22, 4);
        drawSheet(p, 34, 12);
        break;
    }
    }
    p.setPen(Qt::black);
    QFont font = p.font();
    font.setPointSize(8);
    p.setFont(font);
    p.drawText(QRect(0, kSymbolHeight, kWidth, kHeight - kSymbolHeight), Qt::AlignCenter, caption);
    return pixmap;
}

QPixmap drawFlag(Language language, bool large)
{
    const QSize size = large ? QSize(72, 48) : QSize(48, 32);
    QPixmap pixmap(size);
    QPainter p(&pixmap);
    const int w = size.width();
    const int h = size.height();
    switch (language) {
    case Language::Italian:
        p.fillRect(0, 0, w / 3, h, QColor(0, 146, 70));
        p.fillRect(w / 3, 0, w / 3 + 1, h, Qt::white);
        p.fillRect(2 * w / 3, 0, w - 2 * w / 3, h, QColor(206, 43, 55));
        break;
    case Language::English: {
        p.setRenderHint(QPainter::Antialiasing);
        p.fillRect(0, 0, w, h, QColor(1, 33, 105));
        p.setPen(QPen(Qt::white, h / 5.0));
        p.drawLine(0, 0, w, h);
        p.drawLine(0, h, w, 0);
        p.setPen(QPen(QColor(200, 16, 46), h / 15.0));
        p.drawLine(0, 0, w, h);
        p.drawLine(0, h, w, 0);
        p.fillRect(0, h * 2 / 5 - h / 10, w, h / 5 + h / 5, Qt::white);
        p.fillRect(w / 2 - h / 5, 0, 2 * h / 5, h, Qt::white);
        p.fillRect(0, h * 2 / 5, w, h / 5, QColor(200, 16, 46));
        p.fillRect(w / 2 - h / 10, 0, h / 5, h, QColor(200, 16, 46));
        break;
    }
    case Language::Spanish:
        p.fillRect(0, 0, w, h, QColor(170, 21, 27));
        p.fillRect(0, h / 4, w, h / 2, QColor(241, 191, 0));
        break;
    }
    p.setPen(Qt::gray);
    p.setBrush(Qt::NoBrush);
    p.drawRect(0, 0, w - 1, h - 1);
    return pixmap;
}

} // namespace kn4::manager
