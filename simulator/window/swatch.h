#pragma once

#include "kn4/colourpalette.h"

#include <QColor>
#include <QLabel>
#include <QPalette>

namespace kn4::simulator {

inline QColor toQColor(Colour colour)
{
    return QColor(redOf(colour), greenOf(colour), blueOf(colour));
}

// A swatch label shows a colour as its background.
inline void paintSwatch(QLabel *label, Colour colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, toQColor(colour));
    label->setPalette(palette);
    label->setAutoFillBackground(true);
}

} // namespace kn4::simulator
