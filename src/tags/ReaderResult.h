#pragma once

// Result codes of the tag and stream readers. The readers never throw to their callers; an
// empty text stands for a missing value.
namespace ReaderResult {
inline constexpr int Ok = 0;
inline constexpr int TooShort = 6;       // the file ended too early
inline constexpr int NoTag = 9;
inline constexpr int UnsupportedVersion = 10;
inline constexpr int UnexpectedFailure = 11;
} // namespace ReaderResult
