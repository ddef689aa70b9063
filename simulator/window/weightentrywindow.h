#pragma once

#include "labelslots.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace kn4::simulator {

// The weight entry window: the user types the weighed weight of the panel
// now on screen, in grams without the welt, to make it the weight reference.
// The field holds at most three characters (up to 999 g): a fourth one
// empties it. OK accepts only a weight above 0; Annulla leaves everything
// as it was.
class WeightEntryWindow : public QDialog
{
    Q_OBJECT

public:
    explicit WeightEntryWindow(const LabelTexts &labels, QWidget *parent = nullptr);

    // OK: reads the field leniently; a weight of 0 or less (also an empty or
    // non-numeric text) shows "Inserire il dato del peso" and keeps the
    // window open with the focus in the field. Otherwise the window closes
    // accepted with weight() holding the rounded value.
    void OK_Click();
    void Annulla_Click();

    int weight() const { return m_weight; }

    // Whatever is typed beyond three characters empties the field.
    void Text1_Change();

    QLineEdit *field() const { return m_field; }

Q_SIGNALS:
    // The weight was refused; the message box is about to show. Tests close
    // it from here.
    void weightRefused();

private:
    LabelTexts m_labels;
    QLineEdit *m_field = nullptr;
    int m_weight = 0;
};

} // namespace kn4::simulator
