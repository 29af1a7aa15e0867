#pragma once

#include "tags/DeviceRead.h"
#include "tags/ReaderResult.h"

class QIODevice;

// The front every tag and stream reader shares, written once: Read from a device or from the
// file's windows, memory exhaustion turned into UnexpectedFailure, and the reset state after
// any code but Ok. A reader derives from TagReader<itself> and provides
//
//     int parse(WindowedReader &device);   // the result code; may be private (befriend the base)
//
// and, where its reset state is not its default-constructed one, its own ResetData(). A reader
// that keeps what it read before a failure (ID3v2's frames before a cut) sets
// kKeepsPartOnFailure.
template <typename Tag>
class TagReader
{
public:
    static constexpr bool kKeepsPartOnFailure = false;

    static ReadResult<Tag> Read(QIODevice &device)
    {
        WindowedReader reader(device);
        return Read(reader);
    }

    // The same, served from the file's windows (one read plan shared by several readers).
    static ReadResult<Tag> Read(WindowedReader &device)
    {
        return runReader<Tag>([&](Tag &tag) {
            const int code = tag.parse(device);
            if (code != ReaderResult::Ok && !Tag::kKeepsPartOnFailure)
                tag.ResetData();
            return code;
        });
    }

    void ResetData() { static_cast<Tag &>(*this) = Tag{}; }
};
