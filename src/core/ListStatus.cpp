#include "core/ListStatus.h"


namespace {

bool parsePart(QStringView text, qint64 &out)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < 0)
        return false;
    out = value;
    return true;
}

} // namespace

qint64 LengthSeconds(const QString &length)
{
    const QStringView text(length);
    qint64 hours = 0, minutes = 0, seconds = 0;
    if (text.size() > 6) {
        // hours:mm:ss: the hours are all but the last 6 characters.
        const qsizetype lastColon = text.lastIndexOf(QLatin1Char(':'));
        if (lastColon < 2)
            return 0;
        if (!parsePart(text.first(text.size() - 6), hours)
            || !parsePart(text.sliced(lastColon - 2, 2), minutes)
            || !parsePart(text.sliced(lastColon + 1).first(qMin<qsizetype>(2, text.size() - lastColon - 1)), seconds))
            return 0;
    } else {
        const qsizetype colon = text.indexOf(QLatin1Char(':'));
        if (colon < 0)
            return 0;
        const QStringView rest = text.sliced(colon + 1);
        if (!parsePart(text.first(colon), minutes) || !parsePart(rest.first(qMin<qsizetype>(2, rest.size())), seconds))
            return 0;
    }
    return hours * 3600 + minutes * 60 + seconds;
}

QString TotalPlayingTime(const SongList &list)
{
    qint64 total = 0;
    for (const TSongRecord &s : list)
        total += LengthSeconds(s.Length);
    return PlayingTimeText(total, list.size());
}

QString PlayingTimeText(qint64 total, qsizetype songs)
{
    if (songs == 0)
        return QString();

    static constexpr qint64 kUnits[] = {31104000, 2592000, 86400, 3600, 60, 1};
    static const char *const kNames[] = {"y ", "m ", "d ", "h ", "min ", "sec"};
    QString text = QStringLiteral("(");
    for (int i = 0; i < 6; ++i) {
        const qint64 part = total / kUnits[i];
        total %= kUnits[i];
        if (part != 0)
            text += QString::number(part) + QLatin1String(kNames[i]);
    }
    return text + QLatin1Char(')');
}

QString NoFilesLoadedText(const LanguageCode &lang)
{
    return lang.text(u"Keine Dateien geladen", u"No Files Loaded");
}

QString FilesLoadedSuffix(const LanguageCode &lang)
{
    return lang.text(u" Dateien geladen", u" Files Loaded");
}

QString FilesFoundSuffix(const LanguageCode &lang)
{
    return lang.text(u" Dateien gefunden ", u" Files Found ");
}

QString ListStatusText(qsizetype count, const SongList &timeOf, const LanguageCode &lang)
{
    return QString::number(count) + FilesLoadedSuffix(lang) + QLatin1Char(' ') + TotalPlayingTime(timeOf);
}

QString ListStatusText(qsizetype count, qint64 seconds, qsizetype timeOfSongs, const LanguageCode &lang)
{
    return QString::number(count) + FilesLoadedSuffix(lang) + QLatin1Char(' ') + PlayingTimeText(seconds, timeOfSongs);
}
