#include "core/InstanceMessage.h"

#include <QtEndian>

#include <gtest/gtest.h>
#include "support/TestSongs.h"

using namespace InstanceProtocol;

namespace {

QByteArray header(quint32 pid, quint32 length)
{
    QByteArray out("SNL1");
    char le[4];
    qToLittleEndian(pid, le);
    out.append(le, 4);
    qToLittleEndian(length, le);
    out.append(le, 4);
    return out;
}

} // namespace

TEST(InstanceMessageTest, RoundTripKeepsProcessIdAndEveryUnit)
{
    // A lone surrogate is text too: names are kept unit for unit.
    for (const QString &line : {QString(), u8("\"/p/sonalo\" \"/m/Lied 🎵.mp3\""), QString(QChar(0xD800))}) {
        const InstanceMessage message{0xCAFEBABEu, line};
        const auto bytes = encodeRequest(message);
        ASSERT_TRUE(bytes);
        EXPECT_EQ(bytes->size(), HeaderBytes + 2 * line.size());
        EXPECT_EQ(requestSize(*bytes), bytes->size());
        const DecodeResult r = decodeRequest(*bytes);
        ASSERT_EQ(r.status, DecodeStatus::Complete);
        EXPECT_EQ(r.message, message);
    }
    // The exact bytes: magic, process id, byte length, UTF-16LE.
    EXPECT_EQ(*encodeRequest({7, u8("\"é")}), header(7, 4) + QByteArray("\"\0\xE9\0", 4));
}

TEST(InstanceMessageTest, HostileBytesAreIncompleteOrInvalidNeverMore)
{
    const QByteArray good = *encodeRequest({1, u8("\"/p\" \"/a.mp3\"")});
    struct Case
    {
        const char *name;
        QByteArray bytes;
        DecodeStatus status;
    };
    const Case cases[] = {
        {"empty", {}, DecodeStatus::Incomplete},
        {"magic begun", "SN", DecodeStatus::Incomplete},
        {"garbage", "GET / HTTP/1.0\r\n\r\n", DecodeStatus::Invalid},
        {"wrong first byte", "X", DecodeStatus::Invalid},
        {"header cut", good.left(HeaderBytes - 1), DecodeStatus::Incomplete},
        {"body cut", good.left(good.size() - 1), DecodeStatus::Incomplete},
        {"trailing byte", good + 'x', DecodeStatus::Invalid},
        {"length 4 GB", header(1, 0xFFFFFFFEu), DecodeStatus::Invalid},
        {"length just above the bound", header(1, quint32(MaxCommandLineBytes + 2)), DecodeStatus::Invalid},
        {"odd length", header(1, 3) + "abc", DecodeStatus::Invalid},
        {"zero unit", header(1, 2) + QByteArray(2, '\0'), DecodeStatus::Invalid},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const DecodeResult r = decodeRequest(c.bytes);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.message, InstanceMessage());
    }
    // The size that may be waited for is never above the bound.
    EXPECT_EQ(requestSize(header(1, quint32(MaxCommandLineBytes))), MaxRequestBytes);
    EXPECT_EQ(requestSize(header(1, 0xFFFFFFFEu)), 0);
    EXPECT_FALSE(encodeRequest({1, QString(MaxCommandLineBytes / 2 + 1, QLatin1Char('a'))}));
}

TEST(InstanceMessageTest, ReplyIsExactlyFourBytes)
{
    EXPECT_EQ(encodeReply(ReplyTaken), QByteArray("\x81\x00\x86\xDA", 4));
    EXPECT_EQ(decodeReply(encodeReply(ReplyDeclined)), ReplyDeclined);
    EXPECT_FALSE(decodeReply(QByteArray("\x81\x00\x86", 3)));
    EXPECT_FALSE(decodeReply(encodeReply(ReplyTaken) + 'x'));
}

TEST(InstanceMessageTest, ForwardedCommandLineQuotesEveryNameAbsolute)
{
    EXPECT_EQ(forwardedCommandLine(u8("/opt/s/sonalo"), {u8("a.mp3"), u8("../b.slp"), u8("/x/c d.ogg")}, u8("/home/u/M")),
              u8("\"/opt/s/sonalo\" \"/home/u/M/a.mp3\" \"/home/u/b.slp\" \"/x/c d.ogg\""));
    EXPECT_EQ(forwardedCommandLine(u8("/opt/s/sonalo"), {}, u8("/w")), u8("\"/opt/s/sonalo\""));
    // --enqueue travels as it is in front; anywhere else it is a file name.
    EXPECT_EQ(forwardedCommandLine(u8("/s"), {u8("--enqueue"), u8("a.mp3"), u8("--enqueue")}, u8("/w")),
              u8("\"/s\" \"--enqueue\" \"/w/a.mp3\" \"/w/--enqueue\""));
    // A quote cannot be carried: such a start is not forwarded at all.
    EXPECT_FALSE(forwardedCommandLine(u8("/opt/s/sonalo"), {u8("a\"b.mp3")}, u8("/w")));
    EXPECT_FALSE(forwardedCommandLine(u8("/op\"t/sonalo"), {}, u8("/w")));
    // What the sender builds, the receiver's parser gives back.
    const QStringList names = {u8("/p/sonalo"), u8("/m/ä b.mp3"), QString()};
    EXPECT_EQ(ParseInstanceParams(*forwardedCommandLine(names[0], names.mid(1), u8("/w"))), names);
}

TEST(InstanceMessageTest, ParserTakesOnlyClosedQuotes)
{
    struct Case
    {
        const char *line;
        QStringList params;
    };
    const Case cases[] = {
        {R"("C:\P\player.exe" "D:\a.mp3" "D:\b.slp")", {u8(R"(C:\P\player.exe)"), u8(R"(D:\a.mp3)"), u8(R"(D:\b.slp)")}},
        // An unquoted program path: the first quoted argument takes its place.
        {R"(C:\P\player.exe "D:\a.mp3" "D:\b.slp")", {u8(R"(D:\a.mp3)"), u8(R"(D:\b.slp)")}},
        {R"("p" unquoted.mp3 "x")", {u8("p"), u8("x")}},
        {R"("p" "" "x")", {u8("p"), QString(), u8("x")}},
        {R"("p" "unclosed)", {u8("p")}},
        {R"(no quotes at all)", {}},
        {R"("a"b"c")", {u8("a"), u8("c")}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ParseInstanceParams(u8(c.line)), c.params) << c.line;
}
