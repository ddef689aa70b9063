#pragma once

#include <QLineEdit>

namespace kn4::editor {

// The inline entry over a field of the selected row, for typing a value:
// Enter hands the text over, Esc or leaving the entry drops it. A refused
// value turns the entry red and leaves it open.
class ValueEntry : public QLineEdit
{
    Q_OBJECT

public:
    explicit ValueEntry(QWidget *parent = nullptr);

    // Shows the entry with the field's value, selected, and takes the focus.
    void open(const QRect &geometry, const QString &value);
    void setRefused(bool refused);
    bool refused() const { return m_refused; }

signals:
    void accepted(const QString &text);
    void cancelled();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    bool m_refused = false;
};

} // namespace kn4::editor
