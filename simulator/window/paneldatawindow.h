#pragma once

#include "labelslots.h"

#include "simulator/panelhead.h"

#include <QWidget>

#include <cstdint>
#include <vector>

class QLabel;
class QPushButton;

namespace kn4::simulator {

// The size of the simulated piece, gathered while the engine draws it.
struct PieceMeasures
{
    std::int64_t courses = 0;  // courses knitted up to the end code (border courses included in view 1)
    double maxWidth = 0;       // widest course, needles (left edge + right edge)
};

// The panel data window ("Dimensioni  maglia"): the values of the panel
// head and the measures of the piece, in needles and courses (view 0) or in
// centimetres (view 1), and a button that opens the notes window.
class PanelDataWindow : public QWidget
{
    Q_OBJECT

public:
    explicit PanelDataWindow(const LabelTexts &labels, QWidget *parent = nullptr);

    void fill(const PanelHead &head, const PieceMeasures &measures, int view);

    // The value shown beside a caption slot (kLabelFileName .. kLabelTotalLength,
    // kLabelMaximumWidth), as text.
    QString value(int slot) const;
    QString heading() const;

Q_SIGNALS:
    void Note_Click();

private:
    LabelTexts m_labels;
    std::vector<std::pair<int, QLabel *>> m_values;
    QLabel *m_heading = nullptr;
};

} // namespace kn4::simulator
