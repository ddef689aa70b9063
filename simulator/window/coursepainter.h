#pragma once

#include "simulator/drawinglist.h"

#include <QRectF>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <functional>

class QPainter;

namespace kn4::simulator {

// Paints the engine's drawing list with a QPainter: the 8000 x 8000 drawing
// units mapped onto a target rectangle of the device (the picture on screen,
// the page of a printer or a PDF). Filled boxes are filled, outlined boxes,
// lines and points are one device pixel wide, as the engine's raster draws
// them, so a thin course line never vanishes at a small scale. On paper a
// device pixel is too fine to see: the printer asks for wider lines.
class CoursePainter
{
public:
    // Told every kProgressStep primitives: how many are painted, of how many.
    using Progress = std::function<void(std::size_t done, std::size_t total)>;
    static constexpr std::size_t kProgressStep = 2000;

    static void paint(QPainter &painter, const DrawingList &drawing, const QRectF &target, int lineWidth = 1,
                      const Progress &progress = {});

    // The device position of a drawing unit along a side of `length` pixels.
    static int toDevice(std::int32_t unit, double length)
    {
        return int(std::floor(double(unit) * length / kDrawingAreaSize));
    }
};

} // namespace kn4::simulator
