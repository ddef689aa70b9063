#include "pictureview.h"

#include "coursepainter.h"

#include <QFrame>
#include <QMouseEvent>
#include <QPainter>

namespace kn4::simulator {

PictureView::PictureView(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Picture1"));
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_vertical = new QFrame(this);
    m_vertical->setObjectName(QStringLiteral("LineaVerticale"));
    m_horizontal = new QFrame(this);
    m_horizontal->setObjectName(QStringLiteral("LineaOrizzontale"));
    for (QFrame *line : {m_vertical, m_horizontal}) {
        line->setAttribute(Qt::WA_TransparentForMouseEvents);
        line->setStyleSheet(QStringLiteral("background-color: white;"));
        line->hide();
    }
}

void PictureView::setDrawing(const DrawingList &drawing)
{
    m_drawing = drawing;
    render();
    update();
}

void PictureView::render()
{
    if (width() <= 0 || height() <= 0)
        return;
    if (m_image.size() != size())
        m_image = QImage(size(), QImage::Format_RGB32);
    m_image.fill(Qt::white);
    QPainter painter(&m_image);
    CoursePainter::paint(painter, m_drawing, QRectF(0, 0, width(), height()));
}

QPointF PictureView::toUnits(QPointF pixel) const
{
    return {pixel.x() * kDrawingAreaSize / qMax(1, width()), pixel.y() * kDrawingAreaSize / qMax(1, height())};
}

QPointF PictureView::toPixels(QPointF units) const
{
    return {units.x() * width() / kDrawingAreaSize, units.y() * height() / kDrawingAreaSize};
}

bool PictureView::inPanStrip(QPointF units)
{
    return units.x() < kPanStrip || units.x() > kDrawingAreaSize - kPanStrip || units.y() < kPanStrip ||
           units.y() > kDrawingAreaSize - kPanStrip;
}

void PictureView::moveVerticalMarker(double x)
{
    m_markerX = x;
    const int px = int(toPixels({x, 0}).x());
    m_vertical->setGeometry(px, 0, 1, height());
    m_vertical->setVisible(m_markersShown);
}

void PictureView::moveHorizontalMarker(double y)
{
    m_markerY = y;
    const int py = int(toPixels({0, y}).y());
    m_horizontal->setGeometry(0, py, width(), 1);
    m_horizontal->setVisible(m_markersShown);
}

void PictureView::setMarkersShown(bool shown)
{
    m_markersShown = shown;
    m_vertical->setVisible(shown && m_markerX >= 0);
    m_horizontal->setVisible(shown && m_markerY >= 0);
}

void PictureView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (m_image.size() != size())
        render();
    painter.drawImage(0, 0, m_image);
}

void PictureView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    render();
    if (m_markerX >= 0)
        moveVerticalMarker(m_markerX);
    if (m_markerY >= 0)
        moveHorizontalMarker(m_markerY);
}

void PictureView::mousePressEvent(QMouseEvent *event)
{
    Q_EMIT mousePressed(event->button(), toUnits(event->position()));
}

void PictureView::mouseReleaseEvent(QMouseEvent *event)
{
    Q_EMIT mouseReleased(event->button(), toUnits(event->position()));
}

void PictureView::mouseMoveEvent(QMouseEvent *event)
{
    const QPointF units = toUnits(event->position());
    setCursor(inPanStrip(units) ? Qt::SizeAllCursor : Qt::ArrowCursor);
    Q_EMIT mouseMoved(units);
}

} // namespace kn4::simulator
