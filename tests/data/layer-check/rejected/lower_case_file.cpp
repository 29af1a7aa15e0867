// layer-check expects: line 2, QtWidgets
#include "qwidget.h"
