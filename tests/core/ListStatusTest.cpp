#include "core/ListStatus.h"

#include <gtest/gtest.h>

namespace {

SongList withLengths(std::initializer_list<const char *> lengths)
{
    SongList list;
    for (const char *l : lengths) {
        TSongRecord r;
        r.Length = QString::fromLatin1(l);
        list.append(r);
    }
    return list;
}

LanguageCode language(const char *code)
{
    LanguageCode lang;
    lang.setCode(QString::fromLatin1(code));
    return lang;
}

} // namespace

TEST(TotalPlayingTime, Examples)
{
    struct Case
    {
        std::initializer_list<const char *> lengths;
        const char *text;
    } cases[] = {
        {{"1:02:03"}, "(1h 2min 3sec)"},
        {{"59:00", "1:00"}, "(1h )"},
        {{"0:00"}, "()"},
        {{"1:15:00"}, "(1h 15min )"},
        {{"3:00", "3:00", "3:00", "3:00", "3:00", "3:00", "3:00", "3:00", "3:00", "3:00", "3:00", "3:00"}, "(36min )"},
        // 360-day years, 30-day months.
        {{"9385:01:01"}, "(1y 1m 1d 1h 1min 1sec)"},
        {{"100:00:00"}, "(4d 4h )"},
        // A length that does not parse counts as nothing, the rest still adds up.
        {{"", "abc", "3:xx", "-1:00", "2:30"}, "(2min 30sec)"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(TotalPlayingTime(withLengths(c.lengths)), QString::fromLatin1(c.text)) << c.text;
    EXPECT_EQ(TotalPlayingTime(SongList()), QString());
}

TEST(TotalPlayingTime, LengthForms)
{
    struct Case
    {
        const char *length;
        qint64 seconds;
    } cases[] = {{"3:45", 225}, {"59:59", 3599}, {"1:15:00", 4500}, {"10:00:00", 36000},
                 {"123:00:00", 442800}, {"0:5", 5}, {"", 0}, {"345", 0}, {"x:10", 0}};
    for (const Case &c : cases)
        EXPECT_EQ(LengthSeconds(QString::fromLatin1(c.length)), c.seconds) << c.length;
}

TEST(ListStatus, CountTextsInBothLanguages)
{
    const SongList twelve = withLengths({"3:00", "3:00", "3:00", "3:00", "3:00", "3:00", "3:00", "3:00", "3:00",
                                         "3:00", "3:00", "3:00"});
    EXPECT_EQ(ListStatusText(12, twelve, language("de")), QStringLiteral("12 Dateien geladen (36min )"));
    EXPECT_EQ(ListStatusText(12, twelve, language("en")), QStringLiteral("12 Files Loaded (36min )"));
    // Texts chosen at the moment of use are English for any code but "de".
    EXPECT_EQ(ListStatusText(0, SongList(), language("fr")), QStringLiteral("0 Files Loaded "));
    EXPECT_EQ(NoFilesLoadedText(language("de")), QStringLiteral("Keine Dateien geladen"));
    EXPECT_EQ(NoFilesLoadedText(language("en")), QStringLiteral("No Files Loaded"));
    EXPECT_EQ(FilesFoundSuffix(language("de")), QStringLiteral(" Dateien gefunden "));
    EXPECT_EQ(FilesFoundSuffix(language("en")), QStringLiteral(" Files Found "));
}
