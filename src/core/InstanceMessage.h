#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <optional>

// The request a second start sends to the running copy, and its reply, as bytes. The bytes come
// from a local socket, so decoding trusts nothing: every size is checked before it is used.
//
// Request, little-endian:  "SNL1" | process id (u32) | byte length n (u32) | n bytes of UTF-16LE
// Reply: one u32, ReplyTaken or ReplyDeclined.
struct InstanceMessage
{
    quint32 processId = 0;
    // The sender's whole command line: every argument in double quotes, the program first.
    QString commandLine;

    bool operator==(const InstanceMessage &) const = default;
};

namespace InstanceProtocol {

// The running copy took the arguments: the sender ends.
inline constexpr quint32 ReplyTaken = 0xDA860081u;
// It did not: the sender starts as a copy of its own.
inline constexpr quint32 ReplyDeclined = 0xDA860080u;

// As the first argument: the files after it line up in the running window's queue. It travels
// as it is (no file name is made of it); a copy that does not know it reports it as a missing file.
inline constexpr QLatin1StringView EnqueueOption("--enqueue");

inline constexpr qsizetype HeaderBytes = 12;
// Far above any real command line (the kernel bounds argv to a few MB of UTF-8), and small
// enough that a request never costs the running copy much memory.
inline constexpr qsizetype MaxCommandLineBytes = 4 * 1024 * 1024;
inline constexpr qsizetype MaxRequestBytes = HeaderBytes + MaxCommandLineBytes;

// Empty when the command line is longer than MaxCommandLineBytes.
std::optional<QByteArray> encodeRequest(const InstanceMessage &message);

enum class DecodeStatus {
    Incomplete, // a valid beginning: wait for more bytes
    Complete,   // exactly one request
    Invalid,    // not a request (wrong magic, odd or too large length, a zero unit, trailing bytes)
};
struct DecodeResult
{
    DecodeStatus status = DecodeStatus::Incomplete;
    InstanceMessage message; // set when Complete
};
DecodeResult decodeRequest(QByteArrayView bytes);
// How many bytes the request that starts with these bytes has in all; 0 while the header is
// incomplete or invalid. Never more than MaxRequestBytes.
qsizetype requestSize(QByteArrayView bytes);

QByteArray encodeReply(quint32 reply);
// The reply's value when the bytes are exactly four; anything else is no reply.
std::optional<quint32> decodeReply(QByteArrayView bytes);

// The command line a second start sends: the program and each argument, relative ones made
// absolute against the sender's working folder, each in double quotes, separated by spaces.
// Empty when a name holds a double quote: the receiver's parser knows no escape, so such a
// name would arrive as another one.
std::optional<QString> forwardedCommandLine(const QString &programPath, const QStringList &arguments,
                                            const QString &workingFolder);

} // namespace InstanceProtocol

// The receiver's parser: a double quote opens or closes a quoted part; each closed part is one
// entry (an empty pair gives an empty entry). Text outside quotes is ignored, so unquoted
// arguments are lost, and the text of an unclosed quote is dropped.
QStringList ParseInstanceParams(const QString &commandLine);
