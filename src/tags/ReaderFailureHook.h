#pragma once

#include <QString>

#include <functional>

// Where a reader's unexpected failure (a read error of the device, memory exhausted) is told
// to the user: the window shows an "Error" box, sonalo-cli prints to stderr. The reader then
// carries on with what it has. Without a hook the message goes to qWarning.
void setReaderFailureHook(std::function<void(const QString &message)> hook);
void reportReaderFailure(const QString &message);
