#pragma once

#include <QIcon>
#include <QPixmap>

// The program's own pictures, drawn in code so that no picture file is needed at run time.
namespace Artwork {

// The splash picture, 400 x 300.
QPixmap splashPicture();
// The English overlay for the splash's lower right corner, 194 x 74.
QPixmap englishOverlay();
// The program icon at the given size.
QPixmap iconPicture(int size);
QIcon programIcon();
// The program icon as PNG, for the playlist type's icon in the desktop's icon theme.
QByteArray playlistIconPng(int size);

} // namespace Artwork
