#pragma once

// Sound made with ffmpeg and read back from a recording sink's raw file.
#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QStringList>

// Raw 16-bit little-endian stereo, left channel only.
inline QList<int> leftChannel(const QByteArray &raw)
{
    QList<int> out;
    for (qsizetype i = 0; i + 3 < raw.size(); i += 4)
        out << qint16(quint16(quint8(raw[i])) | quint16(quint8(raw[i + 1])) << 8);
    return out;
}

inline bool ffmpeg(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral("ffmpeg"), QStringList{QStringLiteral("-nostdin"), QStringLiteral("-loglevel"),
                                                  QStringLiteral("error"), QStringLiteral("-y")} + args);
    return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}
