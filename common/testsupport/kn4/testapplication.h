#pragma once

// The one QApplication of a Qt test program, made on first use (the tests
// run with the offscreen platform).

#include <QApplication>

namespace kn4::testing {

inline void ensureApplication()
{
    static int argc = 1;
    static char name[] = "kn4_tests";
    static char *argv[] = {name, nullptr};
    if (!qApp)
        new QApplication(argc, argv);
}

} // namespace kn4::testing
