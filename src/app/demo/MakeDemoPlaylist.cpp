// Writes a few short sine tones and a playlist of them into a folder, so that a fresh build has
// something to play. Run by the build; the tones are generated, nothing is downloaded.
#include "core/Errors.h"
#include "core/OutputSettings.h"
#include "core/Playlist.h"

#include <QDir>
#include <QFile>

#include <cmath>
#include <cstdio>
#include <utility>
#include <numbers>

namespace {

constexpr int kRate = 22050;

void putLe(QByteArray &out, quint32 value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.append(char((value >> (8 * i)) & 0xFF));
}

// A RIFF INFO list of the non-empty texts, each in UTF-8 with its terminating zero.
QByteArray infoList(const std::initializer_list<std::pair<const char *, QString>> &texts)
{
    QByteArray list("INFO");
    for (const auto &[id, text] : texts) {
        if (text.isEmpty())
            continue;
        QByteArray value = text.toUtf8();
        value.append('\0');
        list.append(id);
        putLe(list, quint32(value.size()), 4);
        list.append(value);
        if (value.size() & 1)
            list.append('\0');
    }
    return list;
}

// A mono 16-bit WAV of the given tones, one after the other, each with a soft fade in and out,
// carrying the tags in an INFO list so that a player that reads the file shows them.
QByteArray toneWav(const std::initializer_list<double> &frequencies, double secondsEach, const QByteArray &info)
{
    const int perTone = int(kRate * secondsEach);
    const int samples = perTone * int(frequencies.size());
    QByteArray wav;
    wav.append("RIFF");
    putLe(wav, quint32(36 + 8 + info.size() + samples * 2), 4);
    wav.append("WAVEfmt ");
    putLe(wav, 16, 4);
    putLe(wav, 1, 2);         // PCM
    putLe(wav, 1, 2);         // mono
    putLe(wav, kRate, 4);
    putLe(wav, kRate * 2, 4); // bytes per second
    putLe(wav, 2, 2);         // block align
    putLe(wav, 16, 2);        // bits per sample
    wav.append("LIST");
    putLe(wav, quint32(info.size()), 4); // even: every entry is padded
    wav.append(info);
    wav.append("data");
    putLe(wav, samples * 2, 4);
    const int fade = kRate / 20;
    for (double f : frequencies) {
        for (int i = 0; i < perTone; ++i) {
            double gain = 0.3;
            if (i < fade)
                gain *= double(i) / fade;
            else if (i > perTone - fade)
                gain *= double(perTone - i) / fade;
            const double v = gain * std::sin(2 * std::numbers::pi * f * i / kRate);
            putLe(wav, quint32(quint16(qint16(std::lround(v * 32767)))), 2);
        }
    }
    return wav;
}

struct DemoSong
{
    const char16_t *artist;
    const char16_t *title;
    const char16_t *album;
    const char16_t *track;
    const char16_t *genre;
    const char *file;
    std::initializer_list<double> tones;
    double secondsEach;
};

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const QString folder = QFile::decodeName(argv[1]);
    QDir(folder).mkpath(QStringLiteral("demo"));

    const DemoSong songs[] = {
        {u"Orvel Tongenerator", u"Kammerton A", u"Töne zum Testen", u"1", u"Electronic", "01-kammerton-a.wav", {440.0}, 3.0},
        {u"Orvel Tongenerator", u"Große Terz", u"Töne zum Testen", u"2", u"Electronic", "02-grosse-terz.wav", {440.0, 554.37}, 2.0},
        {u"Orvel Tongenerator", u"Quinte über C", u"Töne zum Testen", u"3", u"Electronic", "03-quinte.wav", {261.63, 392.0}, 2.0},
        {u"Sinus & Söhne", u"Dreiklang aufwärts", u"Akkorde", u"1", u"Ambient", "04-dreiklang.wav", {329.63, 415.30, 493.88}, 1.5},
        {u"Sinus & Söhne", u"Oktavsprung", u"Akkorde", u"2", u"Ambient", "05-oktavsprung.wav", {220.0, 440.0, 880.0}, 1.5},
        {u"Ärger mit Obertönen", u"Ruhiger Ausklang", u"", u"", u"", "06-ausklang.wav", {196.0, 174.61, 164.81, 130.81}, 1.5},
    };

    SongList list;
    for (const DemoSong &s : songs) {
        const QByteArray info = infoList({{"IART", QString::fromUtf16(s.artist)},
                                          {"INAM", QString::fromUtf16(s.title)},
                                          {"IPRD", QString::fromUtf16(s.album)},
                                          {"ITRK", QString::fromUtf16(s.track)},
                                          {"ICRD", QStringLiteral("2026")},
                                          {"IGNR", QString::fromUtf16(s.genre)}});
        const QByteArray wav = toneWav(s.tones, s.secondsEach, info);
        QFile file(folder + QStringLiteral("/demo/") + QLatin1String(s.file));
        if (!file.open(QIODevice::WriteOnly) || file.write(wav) != wav.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
            return 1;
        }
        const int seconds = int(std::lround(s.secondsEach * double(s.tones.size())));
        TSongRecord r;
        r.Artist = QString::fromUtf16(s.artist);
        r.Title = QString::fromUtf16(s.title);
        r.Length = QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
        r.Album = QString::fromUtf16(s.album);
        r.Track = QString::fromUtf16(s.track);
        r.Year = QStringLiteral("2026");
        r.Genre = QString::fromUtf16(s.genre);
        // Relative to the program's folder, where the player looks first.
        r.Path = QStringLiteral("demo/") + QLatin1String(s.file);
        list.append(r);
    }
    try {
        const OutputSettings output;
        SavePlaylist(list, folder + QStringLiteral("/Sonalo-Demo.slp"), output.OutputEncoding, output.picture);
    } catch (const SonaloError &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
