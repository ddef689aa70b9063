#pragma once

#include "printpage.h"

#include <QRectF>

class QPainter;

namespace kn4 {

// Paints a printed page onto any paint device (printer, PDF, picture): the
// 40000 x 60000 page units fill target, and the fonts scale with the page
// height ("arial" and "courier new" are Liberation Sans and Liberation Mono,
// which keep their metrics).
class PagePainter
{
public:
    static void paint(QPainter &painter, const PrintPage &page, const QRectF &target);
};

} // namespace kn4
