#pragma once

#include "coursepainter.h"

#include "simulator/drawinglist.h"

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

#include <vector>

class QPainter;

namespace kn4::simulator {

// The page of the print preview as the printer gets it: the panel's name,
// the picture, the carrier-side swatches and the page texts, placed in the
// preview's own pixels. It is painted as vectors and text onto any paint
// device (printer, PDF), fitted to the target whole and centred, so the
// paper shows what the preview shows, with searchable text.
struct PreviewPage
{
    struct Swatch
    {
        QRect rect;
        QColor colour;
        QString text;
    };

    QSize size;  // the page in preview pixels
    QString title;
    QRect titleRect;
    QFont titleFont;
    QRect pictureRect;
    const DrawingList *drawing = nullptr;
    std::vector<Swatch> swatches;
    QString text;
    QRect textRect;
    QFont textFont;

    // The thinnest line on paper, in millimetres: a line of the picture one
    // device pixel wide would all but vanish at a printer's resolution.
    static constexpr double kLineMillimetres = 0.15;

    void paint(QPainter &painter, const QRectF &target, const CoursePainter::Progress &progress = {}) const;
};

} // namespace kn4::simulator
