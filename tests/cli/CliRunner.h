#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// Runs the built sonalo-cli and collects what it printed.
struct CliResult
{
    int exitCode = -1;
    QString out;
    QString err;
};

inline CliResult runCli(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral(SONALO_BINARY_DIR "/src/cli/sonalo-cli"), args);
    p.waitForFinished(120000);
    CliResult r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}
