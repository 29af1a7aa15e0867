#pragma once

#include "tags/ReaderFailureHook.h"

#include <QString>

#include <new>

// Result codes of the tag and stream readers. The readers never throw to their callers; an
// empty text stands for a missing value.
namespace ReaderResult {
inline constexpr int Ok = 0;
inline constexpr int TooShort = 6;       // the file ended too early
inline constexpr int NoTag = 9;          // not this format, or no tag of it
inline constexpr int UnsupportedVersion = 10;
inline constexpr int UnexpectedFailure = 11;
} // namespace ReaderResult

// What every reader's Read returns: its result code and the values it found. After a code
// other than Ok the values hold the reset state, absent values empty; a reader that keeps
// part of what it read (ID3v2 frames before a cut) says so.
template <typename Values>
struct ReadResult
{
    int code = ReaderResult::UnexpectedFailure;
    Values values{};

    bool ok() const { return code == ReaderResult::Ok; }
};

// Runs parse(values) on fresh values. Memory running out while parsing is told to the user and
// gives UnexpectedFailure with fresh values, so that no reader throws to its callers.
template <typename Values, typename Parse>
ReadResult<Values> runReader(Parse &&parse)
{
    ReadResult<Values> r;
    try {
        r.code = parse(r.values);
    } catch (const std::bad_alloc &) {
        r.values = Values{};
        r.code = ReaderResult::UnexpectedFailure;
        reportReaderFailure(QStringLiteral("Out of memory"));
    }
    return r;
}
