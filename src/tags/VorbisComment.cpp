#include "tags/VorbisComment.h"

#include "tags/ByteCursor.h"
#include "tags/DeviceRead.h"
#include "tags/TagText.h"

#include "core/TextEncoding.h"

namespace {

// Only this much of each comment is used; the rest is skipped by its stored length.
constexpr qint64 kMaxCommentBytes = 250;
// Comments looked at at most: a block of millions of empty comments must not cost a read each.
constexpr std::uint32_t kMaxComments = 100000;

} // namespace

DeviceCommentSource::DeviceCommentSource(WindowedReader &device, qint64 pos, qint64 end)
    : m_reader(device), m_pos(pos), m_end(std::min(end, device.size()))
{
}

bool DeviceCommentSource::read(qint64 n, QByteArray &out)
{
    out.clear();
    const qint64 take = std::min(n, m_end - m_pos);
    if (take <= 0)
        return true;
    if (!m_reader.readAt(m_pos, take, out))
        return false;
    m_pos += out.size();
    return true;
}

bool DeviceCommentSource::skip(qint64 n)
{
    m_pos = n > m_end - m_pos ? m_end : m_pos + std::max<qint64>(n, 0);
    return true;
}

bool VorbisComments::read(CommentSource &source)
{
    enum { cTitle, cArtist, cAlbum, cTrack, cDate, cGenre, cComment, cPerformer, cDescription, cCount };
    static const QLatin1StringView kNames[cCount] = {
        QLatin1StringView("TITLE"), QLatin1StringView("ARTIST"), QLatin1StringView("ALBUM"),
        QLatin1StringView("TRACKNUMBER"), QLatin1StringView("DATE"), QLatin1StringView("GENRE"),
        QLatin1StringView("COMMENT"), QLatin1StringView("PERFORMER"), QLatin1StringView("DESCRIPTION"),
    };
    QString values[cCount];
    QString vendor;
    ReplayGainValues gain;
    QByteArray buf;
    // One text: a 32-bit length and the bytes; false at the end of the block or on a read error.
    auto readText = [&](QByteArray &text, bool &ok) {
        ok = source.read(4, buf);
        if (!ok || buf.size() < 4)
            return false;
        ByteCursor c(buf);
        const qint64 length = c.u32le();
        const qint64 head = std::min(length, kMaxCommentBytes);
        ok = source.read(head, text) && source.skip(length - head);
        return ok;
    };
    auto handle = [&](const QByteArray &raw) {
        const QByteArrayView text = TagText::trimControl(QByteArrayView(raw));
        const qsizetype eq = text.indexOf('=');
        if (eq < 0) {
            if (vendor.isEmpty())
                vendor = decodeUtf8(text, Utf8Malformed::Stop);
            return;
        }
        const QByteArray name = text.first(eq).toByteArray().toUpper();
        if (gain.take(name, text.sliced(eq + 1)))
            return;
        for (int i = 0; i < cCount; ++i) {
            if (name == QByteArrayView(kNames[i].data(), kNames[i].size())) {
                values[i] = decodeUtf8(TagText::trimControl(text.sliced(eq + 1)), Utf8Malformed::Stop);
                return;
            }
        }
    };

    bool ok = true;
    QByteArray text;
    // Vendor string, then the count; the count is only trusted as far as the block goes, so
    // four billion announced comments cost no more than the bytes that are there.
    if (readText(text, ok)) {
        handle(text);
        if (!source.read(4, buf))
            return false;
        if (buf.size() == 4) {
            ByteCursor c(buf);
            std::uint32_t count = std::min(c.u32le(), kMaxComments);
            while (count-- > 0 && readText(text, ok))
                handle(text);
        }
    }
    if (!ok)
        return false;
    Vendor = vendor;
    ReplayGain = gain;
    Title = values[cTitle];
    Artist = values[cArtist].isEmpty() ? values[cPerformer] : values[cArtist];
    Album = values[cAlbum];
    TrackText = values[cTrack];
    Date = values[cDate];
    Genre = values[cGenre];
    Comment = values[cComment].isEmpty() ? values[cDescription] : values[cComment];
    return true;
}
