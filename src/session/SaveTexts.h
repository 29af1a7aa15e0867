#pragma once

#include "core/TextEncoding.h"
#include "core/picture/PictureWriter.h"

#include <QString>

class LanguageCode;

// What a save or an export that runs long, or is refused, tells the user: every such text in
// both languages, in one place.
namespace SaveTexts {

// The progress window's caption and its one line while a playlist or a list file is saved,
// while the export list is written, and its button.
QString progressTitle(const LanguageCode &lang);
QString saving(const LanguageCode &lang, const QString &fileName);
QString writingList(const LanguageCode &lang);
QString cancel(const LanguageCode &lang);
// After Cancel: nothing was written, the file on disk is as it was.
QString notSaved(const LanguageCode &lang, const QString &fileName);
// A picture larger than a picture file can sanely hold: refused before it is drawn.
QString pictureTooLarge(const LanguageCode &lang, const PictureSize &size);

} // namespace SaveTexts

// Thrown by a save's worker when the text would make a picture over the bounds; the caller
// turns it into pictureTooLarge's message.
struct PictureRefused
{
    PictureSize size;
};

// The bytes of a text file or, for a picture name, of its picture, with the picture's size
// checked before anything is drawn. Throws PictureRefused, or SonaloError as textFileBytes.
QByteArray checkedTextFileBytes(const QString &text, const QString &fileName, TTextEncoding encoding,
                                const PictureStyle &style);
