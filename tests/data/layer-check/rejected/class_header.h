// layer-check expects: line 3, QtGui

#include <QImage>
