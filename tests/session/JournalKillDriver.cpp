// Started and killed at random moments by the kill tests. Modes:
//   journal FOLDER SEED   edits a playlist at random, kept by a journal in FOLDER; after each
//                         edit prints "TIME HASH" (ms since the epoch, the playlist's check)
//   save FILE SEED        saves the playlist A or B (100,000 songs each) over FILE, by turns
//   settings FILE SEED    writes the settings text A or B over FILE, by turns
#include "core/PictureStyle.h"
#include "core/Playlist.h"
#include "core/SessionJournal.h"
#include "core/SettingsFile.h"
#include "core/SongSort.h"
#include "session/JournalRecorder.h"

#include "session/KillDriverLists.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QTimer>

#include <cstdio>
#include <random>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 4)
        return 2;
    const QString mode = QString::fromLocal8Bit(argv[1]);
    const QString target = QString::fromLocal8Bit(argv[2]);
    std::mt19937 random(unsigned(std::atoi(argv[3])));

    if (mode == QLatin1String("save")) {
        const SongList lists[2] = {KillDriverLists::saved(0), KillDriverLists::saved(1)};
        std::printf("ready\n");
        std::fflush(stdout);
        for (int turn = 0;; turn ^= 1) {
            SavePlaylist(lists[turn], target, TTextEncoding::teUtf8, PictureStyle{});
            std::printf("saved %d\n", turn);
            std::fflush(stdout);
        }
    }
    if (mode == QLatin1String("settings")) {
        for (int turn = 0;; turn ^= 1) {
            if (!SettingsFile::write(target, KillDriverLists::settings(turn), nullptr))
                return 1;
        }
    }

    SongLists lists;
    JournalRecorder journal(lists, target);
    journal.start();
    int serial = 0;
    QTimer edits;
    QObject::connect(&edits, &QTimer::timeout, [&] {
        const auto scope = lists.edit(SongLists::Refresh::None);
        const int what = int(random() % 10);
        if (what < 5 || lists.AllSongs().size() < 3) {
            SongList added;
            for (int i = int(random() % 20) + 1; i > 0; --i)
                added.append(KillDriverLists::song(serial++));
            lists.append(std::move(added));
        } else if (what < 8) {
            QList<int> rows;
            for (int row = 0; row < lists.AllSongs().size(); ++row)
                if (random() % 5 == 0)
                    rows.append(row);
            lists.removeShownRows(rows);
        } else if (what < 9) {
            const int field = int(random() % TSongRecord::kFieldCount);
            lists.reorderShown([&](SongList &shown, std::vector<qsizetype> &order) {
                SortSongs(shown, field, random() % 2 == 0, {}, &order);
                return true;
            });
        } else if (random() % 4 == 0) {
            lists.clear();
        }
        QByteArray bytes;
        for (const TSongRecord &r : lists.AllSongs())
            SessionJournal::encodeSong(bytes, r);
        std::printf("%lld %llu\n", static_cast<long long>(QDateTime::currentMSecsSinceEpoch()),
                    static_cast<unsigned long long>(SessionJournal::check(bytes)));
        std::fflush(stdout);
    });
    edits.start(5);
    return app.exec();
}
