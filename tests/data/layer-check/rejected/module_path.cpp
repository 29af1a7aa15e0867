// layer-check expects: line 2, QtGui
#include <QtGui/QColor>
