#pragma once

#include "kn4/colourpalette.h"

#include <QList>
#include <QWidget>

#include <cstdint>
#include <string>

class QEventLoop;
class QFrame;
class QLabel;

namespace kn4 {

// The palette window "tavolozza": 48 colour cells (Label1, 0..47) in six
// rows of eight, and a selection frame (Shape1) around the cell of the
// current colour. Every program of the suite keeps one, created on first
// use, hidden between picks.
class PaletteWindow : public QWidget
{
    Q_OBJECT

public:
    explicit PaletteWindow(QWidget *parent = nullptr);
    ~PaletteWindow() override;

    // Mode 0 (pick): shows the window with the frame around the cell of the
    // given colour, waits (the event loop keeps running) until the user
    // clicks a cell, then returns that cell's colour and code and hides the
    // window. Closing the window instead ends the pick with both outputs
    // unchanged, and a pick asked for while one is waiting is refused; the
    // result says whether a colour was chosen.
    // Modes 1 and 2 translate between colour and code without showing the
    // window (ColourPalette::TestColore); other modes do nothing.
    bool TestColore(std::uint8_t mode, Colour &colour, std::string &code);

    // A click on cell `cell`: records it as the choice and ends a waiting pick.
    void Label1_Click(int cell);

    bool isPicking() const { return m_waitLoop != nullptr; }
    const ColourPalette &palette() const { return m_palette; }

    // Geometry of the grid in pixels (twips / 15): cells of 255 twips every
    // 360 twips from 120; the frame stands 60 twips above and left of its
    // cell and is 120 twips wider and taller.
    static constexpr int kCellSize = 17;
    static constexpr int kCellPitch = 24;
    static constexpr int kMargin = 8;
    static constexpr int kFrameOffset = 4;
    static constexpr int kFrameSize = kCellSize + 2 * kFrameOffset;

signals:
    // A pick has begun and the window is showing; the user may click.
    void pickStarted();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void placeFrame();

    ColourPalette m_palette;
    QList<QLabel *> m_cells;
    QFrame *m_frame = nullptr;
    QEventLoop *m_waitLoop = nullptr;
    bool m_placed = false;
};

} // namespace kn4
