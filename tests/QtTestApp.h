#pragma once

#include <QApplication>

// One QApplication for a whole test binary (widget tests run on the offscreen platform).
inline QApplication &qtTestApp()
{
    static int argc = 1;
    static char name[] = "sonalo-test";
    static char *argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}
