#include "support/TestApp.h"

#include <QGuiApplication>

QCoreApplication &testApp()
{
    static int argc = 1;
    static char name[] = "sonalo-test";
    static char *argv[] = {name, nullptr};
    // Never destroyed, as in the widget tests: the pointer keeps it reachable for LSan.
    static QGuiApplication *app = new QGuiApplication(argc, argv);
    return *app;
}
