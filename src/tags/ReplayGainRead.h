#pragma once

#include "tags/ReplayGain.h"

#include <QByteArray>
#include <QString>

class TID3v2Tag;
class WindowedReader;

// The ReplayGain values of one file, read when they are needed (a song starts, a tool shows
// them): never for the table, whose records have no room for them. MPEG files take ID3v2 TXXX
// frames, then RVA2 gains, then an APE tag at the end; the other formats their own readers'
// comments and atoms. Never throws; a file without values, or none at all, gives none.
namespace ReplayGainRead {

ReplayGainValues fromFile(const QString &path);

// The parts of an MPEG file's read, for tests and fuzzing.
// TXXX REPLAYGAIN_* frames first; RVA2 "track" and "album" master gains where no TXXX gave one.
void fromId3v2(const TID3v2Tag &tag, ReplayGainValues &into);
// An APE tag (version 1 or 2) whose footer ends at the end of the device or just before an
// ID3v1 tag: fills what is still empty. False on a read error.
bool fromApe(WindowedReader &device, ReplayGainValues &into);

} // namespace ReplayGainRead
