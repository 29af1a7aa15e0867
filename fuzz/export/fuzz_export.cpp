#include "FuzzTarget.h"
// Any template, filter, find and replace text and any song texts through the list writer under
// the box combination the first byte chooses. Checked: at most one line per song, the HTML
// table's frame, no "%tab%" left in plain text, no empty line when they are removed, and a list
// that is already in order (or already free of duplicates) stays as it is when ordered again.
#include "export/ExportSort.h"
#include "export/ListWriter.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    ExportOptions o;
    o.html = data[0] & 1;
    o.sort = data[0] & 2;
    o.unique = data[0] & 4;
    o.removeEmpty = data[0] & 8;
    o.leadingZeros = data[0] & 16;
    o.useFilter = data[0] & 32;
    o.findReplace = data[0] & 64;
    const bool replaceOld = data[0] & 128;
    for (int i = 0; i < 8; ++i)
        o.filterColumns[size_t(i)] = (data[1] >> i) & 1;

    // UTF-16 text, lone surrogates and all, in pieces separated by U+0001: the template, the
    // filter text, find, replace, then the songs' fields, eight a song.
    const QString text = QString::fromUtf16(reinterpret_cast<const char16_t *>(data + 2), qsizetype((size - 2) / 2));
    const QStringList pieces = text.split(QChar(1));
    o.templateText = pieces.value(0);
    o.filterText = pieces.value(1);
    o.findText = pieces.value(2);
    o.replaceText = pieces.value(3);
    SongList songs;
    for (qsizetype i = 4; i < pieces.size(); i += TSongRecord::kFieldCount) {
        TSongRecord r;
        for (int f = 0; f < TSongRecord::kFieldCount; ++f)
            r.field(f) = pieces.value(i + f);
        songs.append(r);
    }

    const QStringList lines = buildExportLines(songs, o, QLocale(QLocale::German, QLocale::Germany));
    if (lines.size() > songs.size())
        __builtin_trap();
    if (o.removeEmpty)
        for (const QString &l : lines)
            if (l.isEmpty())
                __builtin_trap();
    // Numbering and find and replace change lines after they were ordered.
    const bool ordered = !o.templateText.contains(QStringLiteral("%123%")) && !(o.findReplace && !o.findText.isEmpty());
    if (ordered && (o.sort || o.unique)) {
        const ExportSort order(QLocale(QLocale::German, QLocale::Germany));
        QStringList again = lines;
        if (o.unique)
            order.sortUnique(again);
        else
            order.sort(again);
        if (again != lines)
            __builtin_trap();
    }

    const QStringList before{QStringLiteral("kept")};
    const QStringList out = exportOutput(before, lines, o.html, replaceOld);
    if (o.html) {
        const qsizetype kept = replaceOld ? 0 : 1;
        if (out.size() != kept + lines.size() + 2 || out[kept] != QLatin1String("<table>") ||
            out.last() != QLatin1String("</table>"))
            __builtin_trap();
    } else {
        if (out.size() != lines.size())
            __builtin_trap();
        for (const QString &l : out)
            if (l.contains(QStringLiteral("%tab%")))
                __builtin_trap();
    }
    (void)exportFileText(out);
    return 0;
}
