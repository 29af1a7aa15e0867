#pragma once

#include <QString>
#include <QStringList>

// The chosen-types list of the shortcuts window: the text of `beldateien` ("mp3,wav,ogg,wma").
namespace ChosenTypes {

// The extensions the text names, each with its leading '.', case kept, in list order. Entries
// are split at ',' and checked from the last to the first: trimmed; an empty one is dropped; one
// without '.' gets one in front; it is dropped when it is only "." or does not start with '.',
// or when a character after the first is one of < > \ / | : ? " * or a blank.
QStringList ChosenExtensions(const QString &text);

// The extensions as the integration stores them: lower case, without the dot, each once, in
// first-seen order. Extensions a desktop-entry list cannot carry (';', '[', ']', control
// characters) and ones that are dots only or start with two are left out.
QStringList normalized(const QStringList &extensions);

} // namespace ChosenTypes
