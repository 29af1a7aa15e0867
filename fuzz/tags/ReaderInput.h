#pragma once

// The fuzz input as an in-memory device for the readers. A broken promise of the reader
// contract traps, so the fuzzer reports it like a crash.
#include "tags/ReaderResult.h"

#include <QBuffer>
#include <QByteArray>

#include <cstddef>
#include <cstdint>

struct FuzzDevice
{
    FuzzDevice(const std::uint8_t *data, std::size_t size, qint64 start = 0)
        : bytes(reinterpret_cast<const char *>(data), qsizetype(size))
    {
        buffer.setBuffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        buffer.seek(start);
    }
    QByteArray bytes;
    QBuffer buffer;
};

inline void expectContract(bool holds)
{
    if (!holds)
        __builtin_trap();
}

template <typename Values>
const ReadResult<Values> &expectKnownCode(const ReadResult<Values> &r)
{
    const int c = r.code;
    expectContract(c == ReaderResult::Ok || c == ReaderResult::TooShort || c == ReaderResult::NoTag
                   || c == ReaderResult::UnsupportedVersion || c == ReaderResult::UnexpectedFailure);
    return r;
}
