#include "CliRunner.h"
#include "TempDir.h"

#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

// Two songs on the same artist in other letter cases, one with markup in its title.
const QByteArray kPlaylist = "abba|Waterloo|2:45|Arrival|1|1974|Pop|/m/waterloo.mp3\r\n"
                             "ABBA|<SOS>|3:20||2|1975|Pop|Music\\sos.mp3\r\n"
                             "Zed|Ohne|1:00||3|2001|Jazz|/m/zed.mp3\r\n";

TEST(ExportCli, PrintsTheListAndTakesTheWindowsOptions)
{
    TempDir tmp;
    const QString slp = tmp.write(QStringLiteral("list.slp"), kPlaylist);
    const struct
    {
        QStringList args;
        const char *printed;
    } cases[] = {
        {{}, "ABBA - <SOS>\nabba - Waterloo\nZed - Ohne\n"},
        {{QStringLiteral("--no-sort"), QStringLiteral("--template"), QStringLiteral("%123%%tab%%dateiname%")},
         "1\twaterloo.mp3\n2\tsos.mp3\n3\tzed.mp3\n"},
        {{QStringLiteral("--unique"), QStringLiteral("--template"), QStringLiteral("%interpret%"), QStringLiteral("--replace"),
          QStringLiteral("Zed"), QStringLiteral("abba")},
         "abba\nabba\n"},
        {{QStringLiteral("--html"), QStringLiteral("--filter"), QStringLiteral("s"), QStringLiteral("--filter-columns"),
          QStringLiteral("title,path"), QStringLiteral("--template"), QStringLiteral("%title%%tab%%year%")},
         "<table>\n<tr><td>&lt;SOS&gt;</td><td>1975</td></tr>\n</table>\n"},
        {{QStringLiteral("--template"), QStringLiteral("%album%"), QStringLiteral("--keep-empty")}, "\n\nArrival\n"},
    };
    for (const auto &c : cases) {
        const CliResult r = runCli(QStringList{QStringLiteral("export"), slp} + c.args);
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_EQ(r.out, QString::fromUtf8(c.printed)) << c.args.join(QLatin1Char(' ')).toStdString();
    }
}

TEST(ExportCli, WritesUnderTheSaveNameRulesAndRefusesBadOptions)
{
    TempDir tmp;
    const QString slp = tmp.write(QStringLiteral("list.slp"), kPlaylist);
    const CliResult r = runCli({QStringLiteral("export"), slp, QStringLiteral("--html"), QStringLiteral("-o"),
                                tmp.path(QStringLiteral("liste")), QStringLiteral("--encoding"), QStringLiteral("utf16be")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QByteArray written = TempDir::read(tmp.path(QStringLiteral("liste.htm")));
    EXPECT_TRUE(written.startsWith(QByteArray("\xFE\xFF\0<\0t", 6))) << written.toHex().toStdString();
    // A picture name is a text name like any other; a picture needs the suffix before it.
    for (const char *name : {"list.jpeg", "list.txt.jpeg"})
        ASSERT_EQ(runCli({QStringLiteral("export"), slp, QStringLiteral("-o"), tmp.path(QLatin1String(name))}).exitCode, 0);
    EXPECT_EQ(TempDir::read(tmp.path(QStringLiteral("list.jpeg.txt"))), QByteArray("\xEF\xBB\xBF" "ABBA - <SOS>\r\nabba - Waterloo\r\nZed - Ohne\r\n"));
    EXPECT_FALSE(QFileInfo::exists(tmp.path(QStringLiteral("list.jpeg"))));
    EXPECT_TRUE(TempDir::read(tmp.path(QStringLiteral("list.txt.jpeg"))).startsWith("\xFF\xD8\xFF")); // JPEG's signature
    for (const QStringList &bad : {QStringList{QStringLiteral("--replace"), QStringLiteral("x")},
                                   QStringList{QStringLiteral("--filter-columns"), QStringLiteral("artist,colour")},
                                   QStringList{QStringLiteral("--encoding"), QStringLiteral("latin9")}}) {
        const CliResult e = runCli(QStringList{QStringLiteral("export"), slp} + bad);
        EXPECT_EQ(e.exitCode, 2) << bad.join(QLatin1Char(' ')).toStdString();
    }
    EXPECT_EQ(runCli({QStringLiteral("export"), tmp.path(QStringLiteral("none.slp"))}).exitCode, 1);
}

} // namespace
