#pragma once

#include <QApplication>

// One QApplication for a whole test binary (widget tests run on the offscreen platform).
inline QApplication &qtTestApp()
{
    static int argc = 1;
    static char name[] = "sonalo-test";
    static char *argv[] = {name, nullptr};
    // Never destroyed: tearing Qt down among the other statics at exit crashes (input devices
    // created by synthetic events outlive it). The pointer keeps it reachable for LSan.
    static QApplication *app = new QApplication(argc, argv);
    return *app;
}
