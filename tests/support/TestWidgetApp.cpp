#include "support/TestApp.h"

#include "QtTestApp.h"

QCoreApplication &testApp()
{
    return qtTestApp();
}
