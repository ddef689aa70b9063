#pragma once

#include "simulator/drawinglist.h"

#include <QImage>
#include <QWidget>

#include <functional>

class QFrame;

namespace kn4::simulator {

// The drawing area of the main window (Picture1): its 8000 x 8000 drawing
// units are mapped onto the widget whatever its size in pixels. It shows
// the picture of the last simulation run and the two marker lines, and
// reports the mouse in drawing units. Over the 100-unit strips along its
// sides, where a press pans the picture, the pointer is the four-way arrow.
class PictureView : public QWidget
{
    Q_OBJECT

public:
    static constexpr double kPanStrip = 100;

    explicit PictureView(QWidget *parent = nullptr);

    // Paints the drawing list into the picture (kept until the next call).
    void setDrawing(const DrawingList &drawing);
    const QImage &image() const { return m_image; }

    // Drawing units <-> widget pixels.
    QPointF toUnits(QPointF pixel) const;
    QPointF toPixels(QPointF units) const;

    // Marker lines through a point in drawing units.
    void moveVerticalMarker(double x);
    void moveHorizontalMarker(double y);
    QFrame *verticalMarker() const { return m_vertical; }
    // Off, the markers stay hidden wherever they are moved (the print preview).
    void setMarkersShown(bool shown);
    QFrame *horizontalMarker() const { return m_horizontal; }

    static bool inPanStrip(QPointF units);

Q_SIGNALS:
    void mousePressed(Qt::MouseButton button, QPointF units);
    void mouseReleased(Qt::MouseButton button, QPointF units);
    void mouseMoved(QPointF units);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void render();

    DrawingList m_drawing;
    QImage m_image;
    QFrame *m_vertical = nullptr;
    QFrame *m_horizontal = nullptr;
    double m_markerX = -1;
    double m_markerY = -1;
    bool m_markersShown = true;
};

} // namespace kn4::simulator
