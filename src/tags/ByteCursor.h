#pragma once

#include <QByteArrayView>
#include <QtGlobal>

#include <cstdint>

// Bounds-checked reading over bytes the readers have loaded. Every offset a file supplies goes
// through here: a read past the end fails, returns zero or an empty view, and leaves the cursor
// failed for good, so a parser can read a whole structure and test ok() once.
class ByteCursor
{
public:
    ByteCursor() = default;
    explicit ByteCursor(QByteArrayView bytes)
        : m_data(reinterpret_cast<const std::uint8_t *>(bytes.data())), m_size(bytes.size()) {}

    qsizetype size() const { return m_size; }
    qsizetype pos() const { return m_pos; }
    qsizetype remaining() const { return m_size - m_pos; }
    bool ok() const { return m_ok; }
    bool atEnd() const { return m_pos >= m_size; }

    // True when n more bytes can be read (n may come straight from a file, so any value).
    bool has(qint64 n) const { return n >= 0 && n <= qint64(m_size - m_pos); }

    bool seek(qint64 p)
    {
        if (p < 0 || p > qint64(m_size))
            return fail();
        m_pos = qsizetype(p);
        return true;
    }
    bool skip(qint64 n)
    {
        if (!has(n))
            return fail();
        m_pos += qsizetype(n);
        return true;
    }

    std::uint8_t u8()
    {
        if (!has(1))
            return fail(), 0;
        return m_data[m_pos++];
    }
    std::uint16_t u16le()
    {
        if (!has(2))
            return fail(), 0;
        const std::uint16_t v = std::uint16_t(m_data[m_pos] | (m_data[m_pos + 1] << 8));
        m_pos += 2;
        return v;
    }
    std::uint16_t u16be()
    {
        if (!has(2))
            return fail(), 0;
        const std::uint16_t v = std::uint16_t(m_data[m_pos] << 8 | m_data[m_pos + 1]);
        m_pos += 2;
        return v;
    }
    std::uint64_t u64be()
    {
        const std::uint64_t hi = u32be();
        const std::uint64_t lo = u32be();
        return hi << 32 | lo;
    }
    std::uint32_t u32le()
    {
        if (!has(4))
            return fail(), 0;
        const std::uint32_t v = std::uint32_t(m_data[m_pos]) | std::uint32_t(m_data[m_pos + 1]) << 8
            | std::uint32_t(m_data[m_pos + 2]) << 16 | std::uint32_t(m_data[m_pos + 3]) << 24;
        m_pos += 4;
        return v;
    }
    std::uint64_t u64le()
    {
        const std::uint64_t lo = u32le();
        const std::uint64_t hi = u32le();
        return lo | hi << 32;
    }
    std::uint32_t u24be()
    {
        if (!has(3))
            return fail(), 0;
        const std::uint32_t v = std::uint32_t(m_data[m_pos]) << 16 | std::uint32_t(m_data[m_pos + 1]) << 8
            | std::uint32_t(m_data[m_pos + 2]);
        m_pos += 3;
        return v;
    }
    std::uint32_t u32be()
    {
        if (!has(4))
            return fail(), 0;
        const std::uint32_t v = std::uint32_t(m_data[m_pos]) << 24 | std::uint32_t(m_data[m_pos + 1]) << 16
            | std::uint32_t(m_data[m_pos + 2]) << 8 | std::uint32_t(m_data[m_pos + 3]);
        m_pos += 4;
        return v;
    }
    // Seven bits per byte, most significant first (ID3v2 sizes); the top bit of each byte is
    // ignored as other readers do.
    std::uint32_t synchsafe32()
    {
        if (!has(4))
            return fail(), 0;
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v = (v << 7) | (m_data[m_pos + i] & 0x7F);
        m_pos += 4;
        return v;
    }

    // The next n bytes; an empty view and failure when fewer remain.
    QByteArrayView bytes(qint64 n)
    {
        if (!has(n))
            return fail(), QByteArrayView();
        const QByteArrayView v(reinterpret_cast<const char *>(m_data + m_pos), qsizetype(n));
        m_pos += qsizetype(n);
        return v;
    }
    // Up to n bytes: fewer at the end, never a failure.
    QByteArrayView bytesUpTo(qint64 n)
    {
        const qint64 k = n < 0 ? 0 : std::min<qint64>(n, remaining());
        return bytes(k);
    }

    // Byte at an absolute offset, without moving; false when outside.
    bool byteAt(qint64 offset, std::uint8_t &out) const
    {
        if (offset < 0 || offset >= qint64(m_size))
            return false;
        out = m_data[offset];
        return true;
    }

    // Whether the bytes at the current position begin with the given signature.
    bool startsWith(QByteArrayView sig) const
    {
        return has(sig.size()) && QByteArrayView(reinterpret_cast<const char *>(m_data + m_pos), sig.size()) == sig;
    }

private:
    bool fail()
    {
        m_ok = false;
        m_pos = m_size;
        return false;
    }

    const std::uint8_t *m_data = nullptr;
    qsizetype m_size = 0;
    qsizetype m_pos = 0;
    bool m_ok = true;
};
