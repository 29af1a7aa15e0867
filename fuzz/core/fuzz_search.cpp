#include "FuzzTarget.h"
// A typed search term or pattern against a fixed playlist, under every option combination the
// first bytes choose: no crash, no hang (the match and depth limits), and inverse is the exact
// complement of the plain result.
#include "core/SongSearch.h"

#include <cstdint>

namespace {

const SongList &songs()
{
    static const SongList list = [] {
        SongList l;
        const char *const rows[][8] = {
            {"Queen", "Bohemian Rhapsody", "5:55", "A Night at the Opera", "11", "1975", "Rock", "/m/q/b.mp3"},
            {"queen", "We Will Rock You", "2:02", "News of the World", "1", "1977", "", "rel\\w.mp3"},
            {"\xC3\x84rzte", "Schrei nach Liebe", "1:15:00", "", "", "", "Punk", "/m/\xC3\xA4/s.ogg"},
            {"", "", "0:00", "", "", "", "", ""},
        };
        for (const auto &row : rows) {
            TSongRecord r;
            for (int i = 0; i < 8; ++i)
                r.field(i) = QString::fromUtf8(row[i]);
            l.append(r);
        }
        TSongRecord odd;
        odd.Artist = QString(QChar(0xDC00)) + QStringLiteral("x\r\ny");
        l.append(odd);
        return l;
    }();
    return list;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    SearchOptions o;
    for (int i = 0; i < 8; ++i)
        o.columns[size_t(i)] = (data[0] >> i) & 1;
    o.caseSensitive = data[1] & 1;
    o.exact = data[1] & 2;
    o.mode = SearchMode((data[1] >> 2) % 3);
    const bool regex = data[1] & 16;
    const size_t units = (size - 2) / 2;
    const QString term = QString::fromUtf16(reinterpret_cast<const char16_t *>(data + 2), qsizetype(units));
    const SearchOutcome plain = searchSongs(songs(), term, o, regex);
    o.inverse = true;
    const SearchOutcome inverse = searchSongs(songs(), term, o, regex);
    if (plain.ok != inverse.ok)
        return 0; // a limit hit in one run only
    if (plain.ok && plain.matches.size() + inverse.matches.size() != songs().size())
        __builtin_trap();
    return 0;
}
