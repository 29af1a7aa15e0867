// The cover beside the song display and the file information window's details, on real
// files: byte-built MP3s for the cover, ffmpeg's MP3, FLAC and M4A for the details.
#include "ui/Tdateiinfo.h"
#include "ui/Tprog.h"

#include "session/SessionFixture.h"
#include "QtTestApp.h"
#include "../tags/ByteBuilders.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTableWidget>

namespace {

QByteArray png(QColor colour)
{
    QImage image(64, 64, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

class CoverWindowsTest : public SessionFixture
{
protected:
    QString write(const QString &name, const QByteArray &bytes)
    {
        QFile f(programFolder + name);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    }
    void play(const QString &path)
    {
        session->playback.PlayFile(path);
        session->covers.loader().waitForJobs();
    }
};

} // namespace

TEST_F(CoverWindowsTest, MainWindowShowsThePlayingSongsCoverAndClearsIt)
{
    using namespace bytes;
    const QString withCover = write(QStringLiteral("red.mp3"),
                                    id3Tag(3, id3Frame(3, "APIC", of({0}) + "image/png" + of({0, 3, 0}) + png(Qt::red))) + cbrFrames(3));
    const QString without = write(QStringLiteral("plain.mp3"), cbrFrames(3));
    Tprog window(*session, {});
    window.resize(800, 600);
    window.show();
    auto *cover = window.findChild<QLabel *>(QStringLiteral("coverBild"));
    ASSERT_NE(cover, nullptr);
    EXPECT_FALSE(cover->isVisible());

    play(withCover);
    ASSERT_TRUE(cover->isVisible());
    const QImage shown = cover->pixmap().toImage();
    ASSERT_FALSE(shown.isNull());
    EXPECT_EQ(shown.pixelColor(shown.width() / 2, shown.height() / 2), QColor(Qt::red));
    // Inside the window, left of the song display, which moves right of it.
    auto *status = window.statusLabel();
    EXPECT_LE(cover->geometry().right(), status->geometry().left());
    EXPECT_TRUE(window.rect().contains(cover->mapTo(&window, cover->rect().bottomRight())));

    // At 800 x 600 the controls keep their room beside it.
    auto *bar = window.findChild<QWidget *>(QStringLiteral("stelle"));
    EXPECT_GE(bar->width(), 300);
    EXPECT_LE(cover->mapTo(&window, cover->rect().bottomRight()).y(), window.height());

    play(without);
    EXPECT_FALSE(cover->isVisible());
    EXPECT_TRUE(cover->pixmap().isNull());
}

TEST_F(CoverWindowsTest, FileInformationOfAnMp3AFlacAndAnM4a)
{
    if (QStandardPaths::findExecutable(QStringLiteral("ffmpeg")).isEmpty())
        GTEST_SKIP() << "ffmpeg missing";
    write(QStringLiteral("cover.png"), png(Qt::blue));
    struct Case
    {
        const char *file;
        QStringList encoder;
        const char *codec, *bitrate, *titleField;
    };
    const Case cases[] = {
        {"tone.mp3", {QStringLiteral("-c:a"), QStringLiteral("libmp3lame"), QStringLiteral("-b:a"), QStringLiteral("128k")},
         "MPEG-1 Layer III", "^128 kbit/s$", "TIT2"},
        {"tone.flac", {QStringLiteral("-c:a"), QStringLiteral("flac")}, "FLAC", "^\\d+ kbit/s \\(VBR\\)$", "TITLE"},
        {"tone.m4a", {QStringLiteral("-c:a"), QStringLiteral("aac"), QStringLiteral("-b:a"), QStringLiteral("96k")}, "AAC",
         "^\\d+ kbit/s$", "\u00A9nam"},
    };
    Tdateiinfo info(session->lang, session->selection);
    info.setCovers(&session->covers);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file);
        const QString path = programFolder + QLatin1String(c.file);
        QProcess ffmpeg;
        ffmpeg.start(QStringLiteral("ffmpeg"),
                     QStringList{QStringLiteral("-nostdin"), QStringLiteral("-loglevel"), QStringLiteral("error"),
                                 QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                                 QStringLiteral("sine=frequency=440:duration=1.5:sample_rate=44100"), QStringLiteral("-ac"),
                                 QStringLiteral("2"), QStringLiteral("-metadata"), QStringLiteral("title=Tone")}
                         + c.encoder + QStringList{path});
        ASSERT_TRUE(ffmpeg.waitForFinished(60000));
        ASSERT_EQ(ffmpeg.exitCode(), 0) << ffmpeg.readAllStandardError().toStdString();

        for (const char *language : {"de", "en"}) {
            session->lang.setCode(QLatin1String(language));
            info.DateiAuslesen(path);
            session->covers.loader().waitForJobs();
            QMap<QString, QString> rows;
            for (int r = 0; r < info.details->rowCount(); ++r)
                rows.insert(info.details->item(r, 0)->text(), info.details->item(r, 1)->text());
            const bool de = QLatin1String(language) == QLatin1String("de");
            EXPECT_EQ(rows.value(QStringLiteral("Codec")), QLatin1String(c.codec));
            EXPECT_TRUE(QRegularExpression(QLatin1String(c.bitrate)).match(rows.value(de ? QStringLiteral("Bitrate") : QStringLiteral("Bit Rate"))).hasMatch())
                << rows.value(QStringLiteral("Bit Rate")).toStdString();
            EXPECT_EQ(rows.value(de ? QStringLiteral("Abtastrate") : QStringLiteral("Sample Rate")), QStringLiteral("44100 Hz"));
            EXPECT_EQ(rows.value(de ? QStringLiteral("Kanäle") : QStringLiteral("Channels")), QStringLiteral("2"));
            // To the millisecond: the encoders add their own priming, never a whole second.
            const QString length = rows.value(de ? QStringLiteral("Länge") : QStringLiteral("Length"));
            EXPECT_TRUE(QRegularExpression(QStringLiteral("^0:01\\.[4-6]\\d\\d$")).match(length).hasMatch()) << length.toStdString();
            EXPECT_EQ(rows.value(de ? QStringLiteral("Dateigröße (Bytes)") : QStringLiteral("File Size (bytes)")),
                      QString::number(QFileInfo(path).size()));
            EXPECT_EQ(rows.value(QString::fromUtf8(c.titleField)), QStringLiteral("Tone"));
            // No picture in the file, but one beside it.
            const QImage cover = info.coverBild->pixmap().toImage();
            ASSERT_FALSE(cover.isNull());
            EXPECT_EQ(cover.pixelColor(cover.width() / 2, cover.height() / 2), QColor(Qt::blue));
        }
    }
}
