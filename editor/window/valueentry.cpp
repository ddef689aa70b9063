#include "window/valueentry.h"

#include <QKeyEvent>

namespace kn4::editor {

ValueEntry::ValueEntry(QWidget *parent) : QLineEdit(parent)
{
    setObjectName(QStringLiteral("ValoreDigitato"));
    setFrame(false);
    hide();
}

void ValueEntry::open(const QRect &geometry, const QString &value)
{
    setRefused(false);
    setGeometry(geometry);
    setText(value);
    selectAll();
    show();
    raise();
    setFocus(Qt::OtherFocusReason);
}

void ValueEntry::setRefused(bool refused)
{
    m_refused = refused;
    QPalette colours = palette();
    colours.setColor(QPalette::Base, refused ? QColor(255, 96, 96) : QColor(255, 255, 224));
    colours.setColor(QPalette::Text, Qt::black);
    setPalette(colours);
}

void ValueEntry::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit accepted(text());
        return;
    case Qt::Key_Escape:
        emit cancelled();
        return;
    default:
        if (m_refused)
            setRefused(false);
        QLineEdit::keyPressEvent(event);
    }
}

void ValueEntry::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    // A tip or a dialog taking the focus for a moment keeps the entry.
    if (isVisible() && event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        emit cancelled();
}

} // namespace kn4::editor
