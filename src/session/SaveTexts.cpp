#include "session/SaveTexts.h"

#include "core/LanguageCode.h"

#include <QFileInfo>

namespace SaveTexts {

QString progressTitle(const LanguageCode &lang)
{
    return lang.text(u"Sonalo – Bitte warten", u"Sonalo – Please wait");
}

QString saving(const LanguageCode &lang, const QString &fileName)
{
    return lang.text(u"„%1“ wird gespeichert …", u"Saving \"%1\" …").arg(QFileInfo(fileName).fileName());
}

QString writingList(const LanguageCode &lang)
{
    return lang.text(u"Die Liste wird geschrieben …", u"Writing the list …");
}

QString cancel(const LanguageCode &lang)
{
    return lang.text(u"Abbrechen", u"Cancel");
}

QString notSaved(const LanguageCode &lang, const QString &fileName)
{
    return lang.text(u"Abgebrochen: „%1“ wurde nicht gespeichert. Eine vorhandene Datei bleibt, wie sie war.",
                     u"Cancelled: \"%1\" was not saved. A file already there stays as it was.")
        .arg(fileName);
}

QString pictureTooLarge(const LanguageCode &lang, const PictureSize &size)
{
    const qint64 megapixels = kMaxPicturePixels / 1000000;
    if (size.height > kMaxPictureSide)
        return lang.text(u"Das Bild wäre %1 Pixel hoch. Bilder über %2 Pixel Höhe werden nicht gespeichert; "
                         u"es wurde nichts geschrieben. Mit weniger Zeilen oder als Textdatei geht es.",
                         u"The picture would be %1 pixels high. Pictures over %2 pixels high are not saved; "
                         u"nothing was written. Fewer lines, or a text file, will do.")
            .arg(size.height)
            .arg(kMaxPictureSide);
    return lang.text(u"Das Bild wäre %1 × %2 Pixel groß. Bilder über %3 Pixel Breite oder %4 Millionen Pixel "
                     u"werden nicht gespeichert; es wurde nichts geschrieben.",
                     u"The picture would be %1 × %2 pixels. Pictures over %3 pixels wide or %4 million pixels "
                     u"are not saved; nothing was written.")
        .arg(size.width)
        .arg(size.height)
        .arg(kMaxPictureSide)
        .arg(megapixels);
}

} // namespace SaveTexts

QByteArray checkedTextFileBytes(const QString &text, const QString &fileName, TTextEncoding encoding,
                                const PictureStyle &style)
{
    if (isPictureFileName(fileName)) {
        const PictureSize size = textPictureSize(text, style);
        if (!size.fits())
            throw PictureRefused{size};
    }
    return textFileBytes(text, fileName, encoding, style);
}
