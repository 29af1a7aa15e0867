#pragma once

class QCoreApplication;

// The one Qt application of a test binary. Controller tests link TestGuiApp.cpp (a
// QGuiApplication: fonts and the clipboard, no widgets); window tests link TestWidgetApp.cpp.
QCoreApplication &testApp();
