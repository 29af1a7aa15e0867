// Writes the program icon as PNG files into a hicolor tree, for the package: the application
// icon and the playlist type's icon, in the sizes desktops ask a theme for. The picture is the
// one the program draws for its windows, so the menu and the window show the same icon.
//   sonalo_make_icons OUTDIR   ->  OUTDIR/hicolor/NxN/{apps/sonalo,mimetypes/application-x-sonalo-playlist}.png
#include "ui/Artwork.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fputs("usage: sonalo_make_icons OUTDIR\n", stderr);
        return 2;
    }
    // QPixmap needs a GUI application, but no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString out = QFile::decodeName(argv[1]);
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QImage picture = Artwork::iconPicture(size).toImage();
        const QString folder = QStringLiteral("%1/hicolor/%2x%2/").arg(out).arg(size);
        for (const auto &[kind, name] : {std::pair{"apps", "sonalo"},
                                         std::pair{"mimetypes", "application-x-sonalo-playlist"}}) {
            const QString dir = folder + QLatin1String(kind);
            const QString file = dir + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png");
            if (!QDir().mkpath(dir) || picture.size() != QSize(size, size) || !picture.save(file, "PNG")) {
                std::fprintf(stderr, "sonalo_make_icons: cannot write %s\n", qPrintable(file));
                return 1;
            }
        }
    }
    return 0;
}
