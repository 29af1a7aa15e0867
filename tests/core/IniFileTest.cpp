#include "TempDir.h"
#include "core/IniFile.h"
#include "core/SettingsFile.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

QString s(const char *text)
{
    return QString::fromUtf8(text);
}

std::optional<QString> valueOf(const QByteArray &bytes, const char *section, const char *key)
{
    return IniFile::parse(bytes).value(QLatin1String(section), QLatin1String(key));
}

} // namespace

TEST(IniInteger, DecimalAndBothHexadecimalForms)
{
    const std::pair<const char *, std::optional<int>> cases[] = {
        {"0", 0}, {"1", 1}, {"-7", -7}, {"+5", 5}, {"0x1F", 31}, {"0XfF", 255}, {"$ff", 255},
        {"-$10", -16}, {"2147483647", 2147483647}, {"-2147483648", int(-2147483647 - 1)},
        {"$FFFFFFFF", -1}, {"0x80000000", int(-2147483647 - 1)},
        {"2147483648", std::nullopt}, {"0x100000000", std::nullopt}, {"", std::nullopt}, {"abc", std::nullopt},
        {"0x", std::nullopt}, {"$", std::nullopt}, {"-", std::nullopt}, {"1 2", std::nullopt},
        {"1.0", std::nullopt}, {"12a", std::nullopt}, {"0x1G", std::nullopt}, {"99999999999999999999", std::nullopt},
    };
    for (const auto &[text, expected] : cases)
        EXPECT_EQ(parseIniInteger(QString::fromLatin1(text)), expected) << text;
}

TEST(IniFile, ProfileReadingRules)
{
    const QByteArray text = "top=1\n"
                            "[Programm]\n"
                            "  Breite = 900  \n"
                            "; breite=1\n"
                            "quoted=\"de\"\n"
                            "half=\"de\n"
                            "noequals\n"
                            "=nokey\n"
                            "breite=800\n"
                            "[other]\n"
                            "x=2\n"
                            "[programm]\n"
                            "late=3\n";
    EXPECT_EQ(valueOf(text, "programm", "breite"), s("900")); // names ignore case; the first key counts
    EXPECT_EQ(valueOf(text, "PROGRAMM", "quoted"), s("de"));
    EXPECT_EQ(valueOf(text, "programm", "half"), s("\"de"));
    EXPECT_EQ(valueOf(text, "programm", "noequals"), std::nullopt);
    EXPECT_EQ(valueOf(text, "programm", "late"), std::nullopt); // only the first section of a name
    EXPECT_EQ(valueOf(text, "other", "x"), s("2"));
    EXPECT_EQ(valueOf(text, "", "top"), std::nullopt);
    EXPECT_EQ(valueOf(text, "missing", "x"), std::nullopt);
}

TEST(IniFile, EncodingsAndHostileBytes)
{
    // UTF-16 LE with signature, an 8-bit file, NULs, no final break, a lone CR, a 2 MB line.
    QByteArray utf16("\xFF\xFE", 2);
    for (char c : QByteArray("[einstellungen]\r\nsprache=en\r\n"))
        utf16.append(c).append('\0');
    EXPECT_EQ(valueOf(utf16, "einstellungen", "sprache"), s("en"));
    EXPECT_EQ(valueOf("[a]\nk=M\xFCller", "a", "k"), s("Müller"));
    EXPECT_EQ(valueOf(QByteArray("[a]\nk=x\0y\nj=2", 13), "a", "j"), s("2"));
    EXPECT_EQ(valueOf("[a]\rk=1\r[b]\rk=2", "b", "k"), s("2"));
    const QByteArray longLine = "[a]\nk=" + QByteArray(2 * 1024 * 1024, 'z') + "\nj=1";
    EXPECT_EQ(valueOf(longLine, "a", "k")->size(), 2 * 1024 * 1024);
    EXPECT_EQ(valueOf(longLine, "a", "j"), s("1"));
    // Further signatures do not hide the first section, and come out as one.
    EXPECT_EQ(valueOf("\xEF\xBB\xBF\xEF\xBB\xBF\xEF\xBB\xBF[a]\nk=1", "a", "k"), s("1"));
    EXPECT_EQ(IniFile::parse(QByteArray("\xFE\xFF\xFE\xFF\xFE\xFF\x00k", 8)).toBytes(), QByteArray("\xEF\xBB\xBFk"));
    EXPECT_EQ(IniFile::parse(QByteArray()).lineCount(), 0);
}

TEST(IniFile, WritingKeepsEverythingElseByteForByte)
{
    const QByteArray before = "; my notes: Müller\r\n"
                              "[programm]\r\n"
                              "Breite = 800\r\n"
                              "fremd=keep me\r\n"
                              "\r\n"
                              "[other]\r\n"
                              "x=2";
    IniFile ini = IniFile::parse(before);
    ini.setValue(u"programm", u"breite", u"900");
    ini.setValue(u"programm", u"hoehe", u"600");
    ini.setValue(u"other", u"y", u"3\nz=4");
    ini.setValue(u"einstellungen", u"sprache", u"de");
    EXPECT_EQ(ini.toBytes(), QByteArray("; my notes: Müller\r\n"
                                        "[programm]\r\n"
                                        "Breite = 900\r\n"
                                        "fremd=keep me\r\n"
                                        "hoehe=600\r\n"
                                        "\r\n"
                                        "[other]\r\n"
                                        "x=2\r\n"
                                        "y=3 z=4\r\n"
                                        "[einstellungen]\r\n"
                                        "sprache=de\r\n"));
    // Read unchanged, written unchanged; the signature stays.
    const QByteArray signed_ = "\xEF\xBB\xBF[a]\nk=1\n;c";
    EXPECT_EQ(IniFile::parse(signed_).toBytes(), signed_);
    IniFile fresh;
    fresh.setValue(u"a", u"k", u"1");
    fresh.setValue(u"b", u"k", u"2");
    fresh.setValue(u"a", u"j", u"3");
    EXPECT_EQ(fresh.toBytes(), QByteArray("[a]\nk=1\nj=3\n[b]\nk=2\n"));
}

TEST(SettingsFileIo, ReadWriteAndLocation)
{
    TempDir tmp;
    const QString path = tmp.path(QStringLiteral("conf/mp3player.ini"));
    EXPECT_EQ(SettingsFile::read(path).status, SettingsFile::ReadResult::Missing);
    QString error;
    ASSERT_TRUE(SettingsFile::write(path, "[a]\nk=1\n", &error)) << error.toStdString();
    SettingsFile::ReadResult r = SettingsFile::read(path);
    ASSERT_EQ(r.status, SettingsFile::ReadResult::Read);
    EXPECT_EQ(SettingsFile::readBool(r.ini, "a", "k"), true);

    // A folder in the way of the file's folder: the write fails and says so.
    tmp.write(QStringLiteral("blocker"), "x");
    EXPECT_FALSE(SettingsFile::write(tmp.path(QStringLiteral("blocker/sub/mp3player.ini")), "x", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(SettingsFile::read(tmp.path(QStringLiteral("conf"))).status, SettingsFile::ReadResult::Unreadable);
    // Too large to be kept whole: not read (and so never rewritten from a part).
    QFile big(tmp.path(QStringLiteral("big.ini")));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize(SettingsFile::kMaxSize + 1));
    big.close();
    EXPECT_EQ(SettingsFile::read(big.fileName()).status, SettingsFile::ReadResult::Unreadable);

    EXPECT_EQ(SettingsFile::location(tmp.path(QStringLiteral("conf")), QStringLiteral("/cfg")),
              tmp.path(QStringLiteral("conf/mp3player.ini")));
    EXPECT_EQ(SettingsFile::location(tmp.path(QStringLiteral("nope/")), QStringLiteral("/cfg")),
              QStringLiteral("/cfg/mp3player.ini"));
    if (::geteuid() != 0) {
        // A folder without write permission: the old file stays whole, and the rule looks elsewhere.
        QFile::setPermissions(tmp.path(QStringLiteral("conf")), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        EXPECT_FALSE(SettingsFile::write(path, "[a]\nk=0\n", &error));
        EXPECT_EQ(SettingsFile::readBool(SettingsFile::read(path).ini, "a", "k"), true);
        EXPECT_EQ(SettingsFile::location(tmp.path(QStringLiteral("conf")), QStringLiteral("/cfg")),
                  QStringLiteral("/cfg/mp3player.ini"));
        QFile::setPermissions(tmp.path(QStringLiteral("conf")), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                                     | QFileDevice::ExeOwner);
    }
}
