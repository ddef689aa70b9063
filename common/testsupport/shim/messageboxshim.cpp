// Loaded with LD_PRELOAD into a Qt program that a test starts as a process:
// the program's message boxes print "kn4-message KIND: TITLE: TEXT" on
// standard error and are answered at once (a question with its default
// button), and showing a window prints "kn4-window CLASS" and ends the
// program with status 0 once control is back in the event loop. The test
// so sees what the user would have seen, and the program never waits for a
// click.

#include <QCoreApplication>
#include <QMessageBox>
#include <QMetaObject>
#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace {

void print(const char *kind, const QString &title, const QString &text)
{
    std::fprintf(stderr, "kn4-message %s: %s: %s\n", kind, title.toUtf8().constData(), text.toUtf8().constData());
    std::fflush(stderr);
}

} // namespace

QMessageBox::StandardButton QMessageBox::critical(QWidget *, const QString &title, const QString &text,
                                                  StandardButtons, StandardButton)
{
    print("critical", title, text);
    return Ok;
}

QMessageBox::StandardButton QMessageBox::warning(QWidget *, const QString &title, const QString &text,
                                                 StandardButtons, StandardButton)
{
    print("warning", title, text);
    return Ok;
}

QMessageBox::StandardButton QMessageBox::information(QWidget *, const QString &title, const QString &text,
                                                     StandardButtons, StandardButton)
{
    print("information", title, text);
    return Ok;
}

QMessageBox::StandardButton QMessageBox::question(QWidget *, const QString &title, const QString &text,
                                                  StandardButtons, StandardButton defaultButton)
{
    print("question", title, text);
    return defaultButton == NoButton ? No : defaultButton;
}

void QWidget::show()
{
    std::fprintf(stderr, "kn4-window %s\n", metaObject()->className());
    std::fflush(stderr);
    QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
}
