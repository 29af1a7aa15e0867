// layer-check expects: line 2, QtWidgets
#include <qt6/QtWidgets/QLabel>
