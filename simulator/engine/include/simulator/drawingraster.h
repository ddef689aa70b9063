#pragma once

#include "simulator/drawinglist.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kn4 {

// Paints a drawing list into an RGB image without any window system, the
// 8000 x 8000 drawing units mapped onto width x height pixels, and encodes
// it as a PNG file. Filled boxes are filled, outlined boxes and lines are
// one pixel wide, points one pixel.
class DrawingRaster
{
public:
    DrawingRaster(int width, int height);

    void paint(const DrawingList &drawing);

    int width() const { return m_width; }
    int height() const { return m_height; }
    // The colour value (red + 256 green + 65536 blue) of a pixel.
    Colour pixel(int x, int y) const;

    // The image as PNG bytes (8-bit RGB, stored deflate blocks).
    std::string png() const;

private:
    void fillRect(int x1, int y1, int x2, int y2, Colour colour);
    void line(int x1, int y1, int x2, int y2, Colour colour);
    void set(int x, int y, Colour colour);
    int px(std::int32_t x) const;
    int py(std::int32_t y) const;

    int m_width;
    int m_height;
    std::vector<std::uint8_t> m_rgb;
};

} // namespace kn4
