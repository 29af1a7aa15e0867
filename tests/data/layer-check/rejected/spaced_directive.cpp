// layer-check expects: line 3, QtGui
#if 1
  #  include <QtGui/qpainter.h>
#endif
