#pragma once

#include <QLabel>
#include <QMouseEvent>

namespace kn4::simulator {

// A label that reports clicks: the colour swatches and the carrier sides of
// the settings windows are labels the user clicks, as in the palette.
class ClickLabel : public QLabel
{
    Q_OBJECT

public:
    using QLabel::QLabel;

Q_SIGNALS:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
            Q_EMIT clicked();
        QLabel::mouseReleaseEvent(event);
    }
};

} // namespace kn4::simulator
