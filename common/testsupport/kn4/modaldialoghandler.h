#pragma once

// Handles the next modal window that opens (a report window, a question, a
// message box) once it is up, so a test that opens it goes on after it
// closes. The handler gets the window and must close it.

#include <QApplication>
#include <QObject>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace kn4::testing {

class ModalDialogHandler
{
public:
    explicit ModalDialogHandler(std::function<void(QWidget *)> handle) : m_handle(std::move(handle))
    {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            QWidget *modal = QApplication::activeModalWidget();
            if (modal == nullptr || !modal->isVisible())
                return;
            m_timer.stop();
            ++m_handled;
            m_handle(modal);
        });
        m_timer.start();
    }
    ModalDialogHandler(const ModalDialogHandler &) = delete;
    ModalDialogHandler &operator=(const ModalDialogHandler &) = delete;

    // How many windows were handled (0 or 1).
    int handled() const { return m_handled; }

private:
    std::function<void(QWidget *)> m_handle;
    QTimer m_timer;
    int m_handled = 0;
};

} // namespace kn4::testing
