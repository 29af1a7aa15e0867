#include "support/TableDump.h"

#include "app/SonaloApp.h"
#include "session/Session.h"
#include "ui/Tprog.h"

#include <QFile>
#include <QLabel>
#include <QTableView>
#include <QTimer>

void dumpTableWhenShown(SonaloApp &app, const QString &file, int handovers, bool keepOpen, bool afterActivation)
{
    auto *poll = new QTimer(app.prog());
    poll->setInterval(100);
    QObject::connect(poll, &QTimer::timeout, app.prog(), [&app, file, poll, handovers, keepOpen, afterActivation] {
        Tprog *prog = app.prog();
        if (!prog->isVisible() || app.session().playlist.isAdding() ||
            app.session().playlist.forwardedOpened() < handovers || (afterActivation && prog->FirstActivation))
            return;
        poll->stop();
        QString text = prog->statusLabel()->text() + QLatin1Char('\n');
        const QAbstractItemModel *model = prog->table()->model();
        for (int row = 0; row < model->rowCount(); ++row) {
            for (int column = 0; column < model->columnCount(); ++column) {
                if (column > 0)
                    text += QLatin1Char('\t');
                text += model->data(model->index(row, column), Qt::DisplayRole).toString();
            }
            text += QLatin1Char('\n');
        }
        QFile out(file);
        if (out.open(QIODevice::WriteOnly))
            out.write(text.toUtf8());
        // The queue beside it: one path a line.
        QString queued;
        for (const TSongRecord &song : app.session().playback.queue().songs())
            queued += song.Path + QLatin1Char('\n');
        QFile queueOut(file + QStringLiteral(".queue"));
        if (queueOut.open(QIODevice::WriteOnly))
            queueOut.write(queued.toUtf8());
        // The loaded song: its path as the table holds it, playing (1) or not, its position.
        const PlaybackControl &playback = app.session().playback;
        QFile songOut(file + QStringLiteral(".song"));
        if (songOut.open(QIODevice::WriteOnly))
            songOut.write((playback.PlayingGivenPath() + QLatin1Char('\n') + QString::number(playback.IsPlaying() ? 1 : 0)
                           + QLatin1Char('\n') + QString::number(playback.position()) + QLatin1Char('\n'))
                              .toUtf8());
        if (!keepOpen)
            prog->close();
    });
    poll->start();
}
