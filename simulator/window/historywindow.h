#pragma once

#include "labelslots.h"

#include "simulator/knitengine.h"

#include <QWidget>

#include <cstdint>

class QLabel;
class QPushButton;

namespace kn4::simulator {

// The history window ("Cronologia"): one course of the simulated piece at a
// time, with the carriers numbered 1..8 in a row, an arrow under the working
// carrier, the stripe check of the course ("ERR" when the carrier was taken
// up on the wrong side, "<---->" otherwise, "VUO" for an empty course), and
// the buttons Avanti (the next course up) and indietro (the one below).
// Under them the source row that knitted the course ("riga 12: CALATO 2 1
// 4") and the button that opens the editor at that row.
class HistoryWindow : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kCarrierPitch = 360;  // twips between carrier numbers

    explicit HistoryWindow(const LabelTexts &labels, QWidget *parent = nullptr);

    // Shows a course and its record; without a record (a course past the
    // table, or below the piece) only the number is shown.
    void showCourse(std::int64_t course, const CourseRecord *record);
    // The row that knitted the shown course, as text to show; an empty text
    // (no row knitted it) disables the editor's button.
    void showRow(const QString &row);

    // The texts as shown, for tests and the print-out.
    QString courseText() const;
    QString checkText() const;
    QString emptyText() const;
    QString rowText() const;
    // Left edge of the arrow in twips, -1 when hidden.
    int arrowTwips() const;

    QPushButton *avanti() const { return m_next; }
    QPushButton *indietro() const { return m_back; }
    QPushButton *openInEditor() const { return m_openInEditor; }

Q_SIGNALS:
    void Avanti_Click();
    void indietro_Click();
    void ApriEditor_Click();

private:
    QLabel *m_course = nullptr;
    QLabel *m_arrow = nullptr;
    QLabel *m_check = nullptr;
    QLabel *m_empty = nullptr;
    QPushButton *m_next = nullptr;
    QPushButton *m_back = nullptr;
    QLabel *m_row = nullptr;
    QPushButton *m_openInEditor = nullptr;
};

} // namespace kn4::simulator
