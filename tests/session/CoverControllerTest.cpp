// The playing song's cover through the real tag readers, Qt's image readers and the MPRIS
// adaptor's metadata: what the window shows, what the desktop's media applet is pointed at,
// and that written pictures are cleaned up.
#include "session/SessionFixture.h"

#include "../tags/ByteBuilders.h"

#include "shell/PlaybackMpris.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QUrl>

namespace {

QImage testImage(int w, int h, QColor colour)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    for (int x = 0; x < w; ++x)
        image.setPixelColor(x, x % h, Qt::white); // not one colour: scaling or a wrong picture shows
    return image;
}

QByteArray encoded(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QByteArray mp3With(const QByteArray &picture, const char *mime)
{
    using namespace bytes;
    return id3Tag(3, id3Frame(3, "APIC", of({0}) + mime + of({0, 3, 0}) + picture)) + cbrFrames(3);
}

QImage pixels(const QImage &image)
{
    return image.convertToFormat(QImage::Format_RGB32);
}

class CoverControllerTest : public SessionFixture
{
protected:
    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = programFolder + name;
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    void play(const QString &path)
    {
        session->playback.PlayFile(path);
        session->covers.loader().waitForJobs();
    }
    // The picture file the media applet is pointed at, read back.
    QImage artFile(const PlaybackMpris &mpris) const
    {
        const QString url = mpris.mprisMetadata().value(QStringLiteral("mpris:artUrl")).toString();
        return url.isEmpty() ? QImage() : QImage(QUrl(url).toLocalFile());
    }
};

} // namespace

TEST_F(CoverControllerTest, PlayingSongsCoverInTheWindowAndTheMediaApplet)
{
    PlaybackMpris mpris(session->playback, {});
    QObject::connect(&session->covers, &CoverController::artUrlChanged, &session->covers,
                     [&mpris](const QString &song, const QString &url) { mpris.setArtUrl(song, url); });
    const QImage jpeg = testImage(300, 200, Qt::darkBlue);
    const QImage folderPng = testImage(40, 40, Qt::darkGreen);
    const QImage jpegDecoded = QImage::fromData(encoded(jpeg, "JPG"));
    struct Case
    {
        const char *name;
        QString song;
        QImage expected; // null: nothing shown
        bool written;    // the applet's picture was written to the cache folder
    };
    const Case cases[] = {
        {"embedded JPEG", write(QStringLiteral("a/one.mp3"), mp3With(encoded(jpeg, "JPG"), "image/jpeg")), jpegDecoded, true},
        {"no picture", write(QStringLiteral("a/two.mp3"), mp3With({}, "image/png")), {}, false},
        {"picture stating a huge size", write(QStringLiteral("a/three.mp3"),
                                               mp3With(QByteArray::fromHex("89504e470d0a1a0a0000000d49484452000186a0000186a008020000"), "image/png")),
         {}, false},
        {"folder image Cover.JPG beside a song without one",
         [&] {
             write(QStringLiteral("b/Cover.PNG"), encoded(folderPng, "PNG"));
             return write(QStringLiteral("b/four.mp3"), mp3With({}, "image/png"));
         }(),
         folderPng, false},
    };
    QString lastWritten;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        play(c.song);
        const QImage shown = session->covers.playingCover();
        const QImage applet = artFile(mpris);
        if (c.expected.isNull()) {
            EXPECT_TRUE(shown.isNull());
            EXPECT_FALSE(mpris.mprisMetadata().contains(QStringLiteral("mpris:artUrl")));
        } else {
            ASSERT_FALSE(shown.isNull());
            // Scaled down to fit the window's square, never up.
            const int side = CoverController::kWindowSide;
            const QSize size = c.expected.size();
            EXPECT_EQ(shown.size(), size.width() > side || size.height() > side ? size.scaled(side, side, Qt::KeepAspectRatio) : size);
            EXPECT_EQ(pixels(applet), pixels(c.expected)); // the same pixels, whole
        }
        const QString url = session->covers.artUrl();
        EXPECT_EQ(url.startsWith(QUrl::fromLocalFile(session->covers.artFolder()).toString()), c.written) << url.toStdString();
        // The picture written for the song before is gone.
        if (!lastWritten.isEmpty() && lastWritten != url) {
            EXPECT_FALSE(QFile::exists(QUrl(lastWritten).toLocalFile()));
        }
        if (c.written)
            lastWritten = url;
    }
    // The information window asking the same loader about the playing song leaves the applet's
    // picture alone.
    play(cases[0].song);
    const QString url = session->covers.artUrl();
    ASSERT_FALSE(url.isEmpty());
    session->covers.loader().request({cases[0].song, 360, false, QString()});
    session->covers.loader().waitForJobs();
    EXPECT_EQ(session->covers.artUrl(), url);
    EXPECT_TRUE(QFile::exists(QUrl(url).toLocalFile()));
    // The folder image wins when the setting says so, for a song holding a picture too.
    write(QStringLiteral("a/folder.jpg"), encoded(folderPng, "PNG"));
    session->settings.setFolderCoverFirst(true);
    play(cases[0].song);
    EXPECT_EQ(pixels(artFile(mpris)), pixels(folderPng));
    session->settings.setFolderCoverFirst(false);
    session->covers.loader().waitForJobs();
    EXPECT_EQ(pixels(artFile(mpris)), pixels(jpegDecoded));
    // Stopping clears it; the written files go with the program.
    session->playback.stop();
    EXPECT_TRUE(session->covers.playingCover().isNull());
    const QString written = session->covers.artFolder();
    session.reset();
    EXPECT_FALSE(QDir(written).exists());
}
