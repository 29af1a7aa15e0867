#pragma once

#include <QIcon>

class QWidget;

// The desktop's media icons, by freedesktop icon name, with Qt's own standard icons where the
// icon theme has none (a bare desktop, the offscreen platform).
namespace MediaIcons {

enum class Icon { Play, Pause, Previous, Next, Volume, Muted };

QIcon icon(Icon which, const QWidget *styleOf);

} // namespace MediaIcons
