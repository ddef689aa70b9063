#include "simulator/drawingraster.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace kn4 {

DrawingRaster::DrawingRaster(int width, int height)
    : m_width(std::max(1, width)), m_height(std::max(1, height)),
      m_rgb(std::size_t(m_width) * std::size_t(m_height) * 3, 0)
{
}

int DrawingRaster::px(std::int32_t x) const
{
    return int(std::floor(double(x) * m_width / kDrawingAreaSize));
}

int DrawingRaster::py(std::int32_t y) const
{
    return int(std::floor(double(y) * m_height / kDrawingAreaSize));
}

void DrawingRaster::set(int x, int y, Colour colour)
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return;
    std::uint8_t *p = &m_rgb[(std::size_t(y) * std::size_t(m_width) + std::size_t(x)) * 3];
    p[0] = std::uint8_t(redOf(colour));
    p[1] = std::uint8_t(greenOf(colour));
    p[2] = std::uint8_t(blueOf(colour));
}

Colour DrawingRaster::pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return 0;
    const std::uint8_t *p = &m_rgb[(std::size_t(y) * std::size_t(m_width) + std::size_t(x)) * 3];
    return rgb(p[0], p[1], p[2]);
}

void DrawingRaster::fillRect(int x1, int y1, int x2, int y2, Colour colour)
{
    const int left = std::max(0, std::min(x1, x2));
    const int right = std::min(m_width - 1, std::max(x1, x2));
    const int top = std::max(0, std::min(y1, y2));
    const int bottom = std::min(m_height - 1, std::max(y1, y2));
    if (left > right || top > bottom)
        return;
    // The first row pixel by pixel, the others copied from it: the clearing
    // of the whole picture is most of the painting.
    const std::size_t span = std::size_t(right - left + 1) * 3;
    std::uint8_t *first = &m_rgb[(std::size_t(top) * std::size_t(m_width) + std::size_t(left)) * 3];
    const auto red = std::uint8_t(redOf(colour));
    const auto green = std::uint8_t(greenOf(colour));
    const auto blue = std::uint8_t(blueOf(colour));
    for (std::size_t i = 0; i < span; i += 3) {
        first[i] = red;
        first[i + 1] = green;
        first[i + 2] = blue;
    }
    for (int y = top + 1; y <= bottom; ++y)
        std::memcpy(first + std::size_t(y - top) * std::size_t(m_width) * 3, first, span);
}

void DrawingRaster::line(int x1, int y1, int x2, int y2, Colour colour)
{
    if (x1 == x2 || y1 == y2) {
        fillRect(x1, y1, x2, y2, colour);
        return;
    }
    // Clip to the image first, so a line far off the picture costs nothing.
    double t0 = 0;
    double t1 = 1;
    const double dx = double(x2) - x1;
    const double dy = double(y2) - y1;
    const std::array<double, 4> p{-dx, dx, -dy, dy};
    const std::array<double, 4> q{double(x1), double(m_width - 1) - x1, double(y1), double(m_height - 1) - y1};
    for (int i = 0; i < 4; ++i) {
        const double r = q[std::size_t(i)] / p[std::size_t(i)];
        if (p[std::size_t(i)] < 0)
            t0 = std::max(t0, r);
        else
            t1 = std::min(t1, r);
    }
    if (t0 > t1)
        return;
    const double sx = x1 + t0 * dx;
    const double sy = y1 + t0 * dy;
    const double ex = x1 + t1 * dx;
    const double ey = y1 + t1 * dy;
    const int steps = int(std::ceil(std::max(std::fabs(ex - sx), std::fabs(ey - sy))));
    for (int i = 0; i <= steps; ++i) {
        const double t = steps == 0 ? 0 : double(i) / steps;
        set(int(std::lround(sx + t * (ex - sx))), int(std::lround(sy + t * (ey - sy))), colour);
    }
}

void DrawingRaster::paint(const DrawingList &drawing)
{
    for (const DrawPrimitive &p : drawing) {
        switch (p.kind) {
        case DrawPrimitive::Kind::Clear:
            fillRect(0, 0, m_width - 1, m_height - 1, p.colour);
            break;
        case DrawPrimitive::Kind::Box:
            if (p.filled) {
                fillRect(px(p.x1), py(p.y1), px(p.x2), py(p.y2), p.colour);
            } else {
                line(px(p.x1), py(p.y1), px(p.x2), py(p.y1), p.colour);
                line(px(p.x1), py(p.y2), px(p.x2), py(p.y2), p.colour);
                line(px(p.x1), py(p.y1), px(p.x1), py(p.y2), p.colour);
                line(px(p.x2), py(p.y1), px(p.x2), py(p.y2), p.colour);
            }
            break;
        case DrawPrimitive::Kind::Line:
            line(px(p.x1), py(p.y1), px(p.x2), py(p.y2), p.colour);
            break;
        case DrawPrimitive::Kind::Point:
            set(px(p.x1), py(p.y1), p.colour);
            break;
        }
    }
}

namespace {

std::uint32_t crc32(const std::uint8_t *data, std::size_t size, std::uint32_t crc = 0)
{
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (std::size_t i = 0; i < size; ++i)
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void putU32(std::string &out, std::uint32_t value)
{
    out += char(value >> 24);
    out += char(value >> 16);
    out += char(value >> 8);
    out += char(value);
}

void chunk(std::string &out, const char *type, const std::string &data)
{
    putU32(out, std::uint32_t(data.size()));
    std::string body(type, 4);
    body += data;
    out += body;
    putU32(out, crc32(reinterpret_cast<const std::uint8_t *>(body.data()), body.size()));
}

} // namespace

std::string DrawingRaster::png() const
{
    // Scan lines with filter byte 0, in a zlib stream of stored blocks.
    std::string raw;
    raw.reserve(std::size_t(m_height) * (std::size_t(m_width) * 3 + 1));
    for (int y = 0; y < m_height; ++y) {
        raw += '\0';
        raw.append(reinterpret_cast<const char *>(&m_rgb[std::size_t(y) * std::size_t(m_width) * 3]),
                   std::size_t(m_width) * 3);
    }
    std::string z;
    z += char(0x78);
    z += char(0x01);
    std::size_t pos = 0;
    do {
        const std::size_t length = std::min<std::size_t>(65535, raw.size() - pos);
        const bool last = pos + length == raw.size();
        z += char(last ? 1 : 0);
        z += char(length & 0xFF);
        z += char(length >> 8);
        z += char(~length & 0xFF);
        z += char((~length >> 8) & 0xFF);
        z.append(raw, pos, length);
        pos += length;
    } while (pos < raw.size());
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (const char c : raw) {
        a = (a + std::uint8_t(c)) % 65521;
        b = (b + a) % 65521;
    }
    putU32(z, (b << 16) | a);

    std::string header;
    putU32(header, std::uint32_t(m_width));
    putU32(header, std::uint32_t(m_height));
    header += char(8);  // bit depth
    header += char(2);  // RGB
    header += std::string(3, '\0');

    std::string out("\x89PNG\r\n\x1a\n", 8);
    chunk(out, "IHDR", header);
    chunk(out, "IDAT", z);
    chunk(out, "IEND", std::string());
    return out;
}

} // namespace kn4
