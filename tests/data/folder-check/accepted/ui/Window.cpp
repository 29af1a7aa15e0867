#include "ui/Window.h"
#include "session/Lists.h"
#include <QtWidgets/QWidget>
