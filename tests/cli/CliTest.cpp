#include "CliRunner.h"
#include "TempDir.h"

#include "core/Playlist.h"
#include "core/PictureStyle.h"

#include <QImage>

#include <gtest/gtest.h>

TEST(Cli, HelpOnEveryLevelAndUsageErrors)
{
    for (const QStringList &args : {QStringList{QStringLiteral("--help")}, QStringList{QStringLiteral("playlist"), QStringLiteral("--help")},
                                    QStringList{QStringLiteral("playlist"), QStringLiteral("cat"), QStringLiteral("--help")},
                                    QStringList{QStringLiteral("text"), QStringLiteral("detect"), QStringLiteral("--help")}}) {
        const CliResult r = runCli(args);
        EXPECT_EQ(r.exitCode, 0) << args.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(r.out.startsWith(QStringLiteral("Usage: sonalo-cli"))) << r.out.toStdString();
    }
    EXPECT_EQ(runCli({}).exitCode, 2);
    EXPECT_EQ(runCli({QStringLiteral("nonsense")}).exitCode, 2);
    EXPECT_EQ(runCli({QStringLiteral("playlist"), QStringLiteral("cat")}).exitCode, 2);
    const CliResult bad = runCli({QStringLiteral("playlist"), QStringLiteral("convert"), QStringLiteral("a"), QStringLiteral("b"),
                                  QStringLiteral("--encoding"), QStringLiteral("latin9")});
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_TRUE(bad.err.contains(QStringLiteral("unknown encoding"))) << bad.err.toStdString();
}

TEST(Cli, FailuresUseTheProgramsMessages)
{
    TempDir tmp;
    const CliResult r = runCli({QStringLiteral("playlist"), QStringLiteral("cat"), tmp.path(QStringLiteral("none.slp"))});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Cannot open file \"%1\". ").arg(tmp.path(QStringLiteral("none.slp"))))) << r.err.toStdString();
    const QString utf7 = tmp.write(QStringLiteral("bad.slp"), "+/v8-+A-");
    const CliResult r7 = runCli({QStringLiteral("playlist"), QStringLiteral("cat"), utf7});
    EXPECT_EQ(r7.exitCode, 1);
    EXPECT_TRUE(r7.err.contains(QStringLiteral("Invalid UTF7")));
}

TEST(Cli, CatEscapesAndConvertWritesEachEncoding)
{
    TempDir tmp;
    const QString in = tmp.write(QStringLiteral("in.slp"),
                                 "\xEF\xBB\xBF" "\\\t\\|x\t|1:00|||||p.mp3\r\n"
                                 "A\\B|T\tx|1:00|Al|1|2000|Rock|\xF0\x9F\x8E\xB5.mp3\r\n"
                                 "only|seven|fields||||\r\n");
    CliResult r = runCli({QStringLiteral("playlist"), QStringLiteral("cat"), in});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QString::fromUtf8("\\\\\\t\\\\\tx\\t\t1:00\t\t\t\t\tp.mp3\n"
                                       "A\\\\B\tT\\tx\t1:00\tAl\t1\t2000\tRock\t\xF0\x9F\x8E\xB5.mp3\n"));

    const struct { const char *name; int number; } encodings[] = {
        {"ansi", 0}, {"utf7", 65000}, {"utf8", 65001}, {"utf16le", 1200}, {"utf16be", 1201}, {"utf32le", 65005}, {"utf32be", 65006},
    };
    for (const auto &e : encodings) {
        const QString out = tmp.path(QStringLiteral("out-") + QLatin1String(e.name));
        r = runCli({QStringLiteral("playlist"), QStringLiteral("convert"), in, out, QStringLiteral("--encoding"), QLatin1String(e.name)});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        r = runCli({QStringLiteral("text"), QStringLiteral("detect"), out + QStringLiteral(".slp")});
        EXPECT_EQ(r.out.trimmed().toInt(), e.number) << e.name;
        if (e.number == 0)
            continue; // the emoji is not in the ANSI code page
        r = runCli({QStringLiteral("playlist"), QStringLiteral("cat"), out + QStringLiteral(".slp")});
        EXPECT_TRUE(r.out.endsWith(QString::fromUtf8("\xF0\x9F\x8E\xB5.mp3\n"))) << e.name << r.out.toStdString();
    }
    // A picture name gets a picture.
    r = runCli({QStringLiteral("playlist"), QStringLiteral("convert"), in, tmp.path(QStringLiteral("list.slp.bmp"))});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_FALSE(QImage(tmp.path(QStringLiteral("list.slp.bmp"))).isNull());
}

TEST(Cli, ConvertMovesAListThroughAllFiveFormats)
{
    TempDir tmp;
    const QString in = tmp.write(QStringLiteral("in.slp"),
                                 "\xEF\xBB\xBF" "Sigur R\xC3\xB3s|Hopp\xC3\xADpolla|4:28|Takk|4|||/none/Sigur R\xC3\xB3s/4 #1.ogg\r\n"
                                 "|Radio|0:00|||||http://radio.example/live\r\n");
    const QString cat = runCli({QStringLiteral("playlist"), QStringLiteral("cat"), in}).out;
    ASSERT_EQ(cat.count(QLatin1Char('\n')), 2);
    QString from = in;
    for (const char *name : {"a.xspf", "b.m3u8", "c.pls", "d.M3U", "e.xspf", "f.slp"}) {
        const QString to = tmp.path(QString::fromLatin1(name));
        const CliResult r = runCli({QStringLiteral("playlist"), QStringLiteral("convert"), from, to});
        ASSERT_EQ(r.exitCode, 0) << name << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("wrote 2 songs to ") + to)) << r.err.toStdString();
        // Album and track live only in the ".slp" and XSPF.
        const QString back = runCli({QStringLiteral("playlist"), QStringLiteral("cat"), to}).out;
        const bool full = QByteArray(name).endsWith("xspf") || QByteArray(name).endsWith("slp");
        EXPECT_EQ(back, full ? cat : QString(cat).replace(QStringLiteral("\tTakk\t4\t"), QStringLiteral("\t\t\t"))) << name;
        from = full ? to : from;
    }
    EXPECT_TRUE(TempDir::read(tmp.path(QStringLiteral("f.slp"))).startsWith("\xEF\xBB\xBF" "Sigur"));
}

TEST(Cli, DroppedReaderTakesLfLines)
{
    TempDir tmp;
    const QString in = tmp.write(QStringLiteral("lf.slp"), "A|t||||||p\nB|t||||||q\n");
    EXPECT_EQ(runCli({QStringLiteral("playlist"), QStringLiteral("cat"), in}).out, QString());
    EXPECT_EQ(runCli({QStringLiteral("playlist"), QStringLiteral("cat"), QStringLiteral("--dropped"), in}).out.count(QLatin1Char('\n')), 2);
}

TEST(Cli, SearchUsesTheWindowsSearch)
{
    TempDir tmp;
    const QString list = tmp.write(QStringLiteral("s.slp"), "Queen|Bohemian|5:55|Opera||||/a.mp3\r\n"
                                                            "Abba|Waterloo|2:42|Waterloo||||/b.mp3\r\n"
                                                            "Queen & Friends|Live|75:00|||||/c.mp3\r\n");
    auto titles = [&](QStringList args) {
        args.prepend(list);
        args.prepend(QStringLiteral("search"));
        const CliResult r = runCli(args);
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        QStringList out;
        for (const QString &line : r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            out << line.section(QLatin1Char('\t'), 1, 1);
        return out;
    };
    EXPECT_EQ(titles({QStringLiteral("queen")}), (QStringList{QStringLiteral("Bohemian"), QStringLiteral("Live")}));
    EXPECT_EQ(titles({QStringLiteral("queen"), QStringLiteral("--exact")}), QStringList{QStringLiteral("Bohemian")});
    EXPECT_EQ(titles({QStringLiteral("queen"), QStringLiteral("--inverse")}), QStringList{QStringLiteral("Waterloo")});
    EXPECT_EQ(titles({QStringLiteral("live opera"), QStringLiteral("--mode"), QStringLiteral("or")}),
              (QStringList{QStringLiteral("Bohemian"), QStringLiteral("Live")}));
    EXPECT_EQ(titles({QStringLiteral("75:00"), QStringLiteral("--columns"), QStringLiteral("length")}), QStringList{QStringLiteral("Live")});
    EXPECT_EQ(titles({QStringLiteral("^QUEEN$"), QStringLiteral("--regex")}), QStringList{QStringLiteral("Bohemian")});
    EXPECT_EQ(titles({QStringLiteral("^QUEEN$"), QStringLiteral("--regex"), QStringLiteral("--case")}), QStringList{});
    EXPECT_EQ(titles({QString()}).size(), 3);

    const CliResult bad = runCli({QStringLiteral("search"), list, QStringLiteral("[a"), QStringLiteral("--regex")});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_TRUE(bad.err.contains(QStringLiteral("Unmatched []"))) << bad.err.toStdString();
    EXPECT_EQ(runCli({QStringLiteral("search"), list, QStringLiteral("x"), QStringLiteral("--columns"), QStringLiteral("colour")}).exitCode, 2);
}

TEST(Cli, SettingsShowSaysWhatEachKeyLoadsTo)
{
    const QString odd = QStringLiteral(SONALO_TEST_DATA "/settings/odd.ini");
    const CliResult r = runCli({QStringLiteral("settings"), QStringLiteral("show"), odd});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 66); // the file's name, then one line a key
    EXPECT_EQ(lines[0], QStringLiteral("# ") + odd);
    for (const char *expected : {"programm\tmaximiert\t0\tmissing", "suche\tsucheoffen\t0", "suche\toptionenoffen\t1",
                                 "einstellungen\tsonganzeige\t(none ticked)\t\"abc\" names no display mode",
                                 "einstellungen\tautoload\t0",
                                 "einstellungen\tsprache\tcurrent language\t\"fr\" is not \"de\" or \"en\""})
        EXPECT_TRUE(lines.contains(QString::fromUtf8(expected))) << expected << "\n" << r.out.toStdString();
    TempDir tmp;
    const QString garbage = tmp.write(QStringLiteral("g.ini"), "[programm]\nspalte_num=-5\nbreite=$zz\n");
    const CliResult g = runCli({QStringLiteral("settings"), QStringLiteral("show"), garbage});
    EXPECT_TRUE(g.out.contains(QStringLiteral("programm\tspalte_num\t65\t-5 is not a width"))) << g.out.toStdString();
    EXPECT_TRUE(g.out.contains(QStringLiteral("programm\tbreite\tcurrent width\t\"$zz\" is not a number")));
    const CliResult missing = runCli({QStringLiteral("settings"), QStringLiteral("show"), tmp.path(QStringLiteral("none.ini"))});
    EXPECT_EQ(missing.exitCode, 0);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("every key keeps its design state")));
    EXPECT_EQ(runCli({QStringLiteral("settings"), QStringLiteral("show"), tmp.path()}).exitCode, 1);
}
