#include "desktop/ChosenTypes.h"
#include "desktop/DesktopEntryText.h"

#include <gtest/gtest.h>
#include "support/TestSongs.h"

namespace {

using namespace DesktopEntryText;

TEST(DesktopExec, QuotesThePathAsTheCommandLineRulesNeed)
{
    const std::pair<const char *, const char *> cases[] = {
        {"/opt/ORV Sonalo/sonalo", "\"/opt/ORV Sonalo/sonalo\" %F"},
        {"/opt/ORV Sonalo/it's $x/sonalo", "\"/opt/ORV Sonalo/it's \\\\$x/sonalo\" %F"},
        {"/opt/P3/a\"b\\c`d e/sonalo", "\"/opt/P3/a\\\\\"b\\\\\\\\c\\\\`d e/sonalo\" %F"},
        {"/usr/bin/sönalo", "\"/usr/bin/sönalo\" %F"},
    };
    for (const auto &[path, exec] : cases)
        EXPECT_EQ(desktopExec(u8(path)), u8(exec)) << path;
}

TEST(DesktopExec, RefusesPathsAnEntryCannotCarry)
{
    const QString refused[] = {u8("/opt/100%/sonalo"), u8("/opt/a=b/sonalo"),   u8("/opt/a\nb/sonalo"),
                               u8("/opt/a\tb/sonalo"), u8("relative/sonalo"),   QString(),
                               u8("/opt/\x7f/sonalo"), QString(u8("/opt/")) + QChar(0xd800) + u8("/x")};
    for (const QString &path : refused) {
        EXPECT_TRUE(desktopExec(path).isEmpty()) << path.toStdString();
        EXPECT_FALSE(programPathUsable(path));
    }
    EXPECT_FALSE(desktopExec(u8("/opt/") + QString::fromUcs4(U"\U0001F3B5") + u8("/x")).isEmpty());
}

TEST(DesktopEntryText, ShellQuotingAndPlainValues)
{
    EXPECT_EQ(shellSingleQuoted(u8("/opt/it's $x/sonalo")), u8("'/opt/it'\\''s $x/sonalo'"));
    EXPECT_EQ(plainValue(u8("/a\\b/c")), u8("/a\\\\b/c"));
}

TEST(DesktopEntryText, ReadsAValueOfOneGroupOnly)
{
    const QByteArray text = "# Exec=comment\r\n[Desktop Entry]\r\nName[de]=X\r\nName = Y \r\n"
                            "[Desktop Action a]\nExec=first\nExec=second\n[Other]\nExec=other";
    EXPECT_EQ(value(text, u"Desktop Entry", u"Name"), u8("Y"));
    EXPECT_EQ(value(text, u"Desktop Action a", u"Exec"), u8("first"));
    EXPECT_EQ(value(text, u"Other", u"Exec"), u8("other"));
    EXPECT_FALSE(value(text, u"Desktop Entry", u"Exec"));
    EXPECT_FALSE(value(text, u"Missing", u"Exec"));
    // Garbage: no crash, nothing found.
    static const char raw[] = "\0\xff[\n=\n[[]]\n\xc3=\xa9";
    const QByteArray garbage(raw, sizeof raw - 1);
    EXPECT_FALSE(value(garbage, u"Desktop Entry", u"Exec"));
    EXPECT_FALSE(carriesOwnerMarker(garbage));
}

TEST(DesktopEntryText, OwnerMarkerInEachFileKind)
{
    EXPECT_TRUE(carriesOwnerMarker("[Desktop Entry]\nX-Sonalo-Owner=ORVmp3player\n"));
    EXPECT_TRUE(carriesOwnerMarker("<?xml?>\n<!-- X-Sonalo-Owner=ORVmp3player -->\n"));
    EXPECT_TRUE(carriesOwnerMarker("#!/bin/sh\r\n# X-Sonalo-Owner=ORVmp3player\r\n"));
    EXPECT_FALSE(carriesOwnerMarker("X-Sonalo-Owner=someone-else\n"));
    EXPECT_FALSE(carriesOwnerMarker("Name=X-Sonalo-Owner=ORVmp3player\n"));
}

TEST(ChosenTypes, ChecksEachEntryByTheListRules)
{
    const std::pair<const char *, QStringList> cases[] = {
        {" MP3,.wav,,ogg ,a.b,.x y", {u8(".MP3"), u8(".wav"), u8(".ogg")}},
        {"mp3", {u8(".mp3")}},
        {"", {}},
        {".", {}},
        {"a<b,c>d,e\\f,g/h,i|j,k:l,m?n,o\"p,q*r,.s.t", {u8(".s.t")}},
        {"mp3,wav,ogg,wma", {u8(".mp3"), u8(".wav"), u8(".ogg"), u8(".wma")}},
    };
    for (const auto &[text, expected] : cases)
        EXPECT_EQ(ChosenTypes::ChosenExtensions(u8(text)), expected) << text;
    EXPECT_EQ(ChosenTypes::normalized({u8(".MP3"), u8(".mp3"), u8(".a;b"), u8(".[x]"), u8(".."), u8(".Wav")}),
              QStringList({u8("mp3"), u8("wav")}));
}

} // namespace
