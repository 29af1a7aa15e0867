// layer-check expects: line 2, QtGui
#include <QtGui/private/qimage_p.h>
