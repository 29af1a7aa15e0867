// What a QtCore-only layer may include.
#include "core/GuiNames.h"
#include "tags/QWidgetLike.h"
#include <QString>
#include <QStringList>
#include <QtCore/QFile>
#include <optional>
// #include <QImage> as a comment is no include
const char *text = "#include <QWidget>";
