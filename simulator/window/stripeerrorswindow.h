#pragma once

#include "labelslots.h"

#include <QWidget>

#include <cstdint>
#include <vector>

class QListWidget;

namespace kn4::simulator {

// The list of every stripe error of the last stripe check, one line each
// ("Errore di rigato al rango 26"), in one window beside the history. A
// click on a line asks the main window to show that course.
class StripeErrorsWindow : public QWidget
{
    Q_OBJECT

public:
    explicit StripeErrorsWindow(const LabelTexts &labels, QWidget *parent = nullptr);

    void setErrors(const std::vector<std::int64_t> &courses);
    QListWidget *list() const { return m_list; }

Q_SIGNALS:
    void courseChosen(std::int64_t course);

private:
    LabelTexts m_labels;
    QListWidget *m_list = nullptr;
};

} // namespace kn4::simulator
