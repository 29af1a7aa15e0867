#include "desktop/MimeAppsList.h"

#include <gtest/gtest.h>

namespace {

const QString kType = QStringLiteral("application/x-sonalo-playlist");
const QString kId = QStringLiteral("sonalo-playlist.desktop");

struct EditCase
{
    const char *name;
    QByteArray before;
    QByteArray registered;
};

TEST(MimeAppsList, SetDefaultChangesOnlyOurLine)
{
    const EditCase cases[] = {
        {"no file", "", "[Default Applications]\napplication/x-sonalo-playlist=sonalo-playlist.desktop\n"},
        {"no group", "[Added Associations]\ntext/plain=gedit.desktop;\n",
         "[Added Associations]\ntext/plain=gedit.desktop;\n\n[Default Applications]\n"
         "application/x-sonalo-playlist=sonalo-playlist.desktop\n"},
        {"other groups after ours, comments", "# mine\n[Default Applications]\ntext/plain=gedit.desktop\n\n# keep\n[Other]\na=b\n",
         "# mine\n[Default Applications]\ntext/plain=gedit.desktop\n"
         "application/x-sonalo-playlist=sonalo-playlist.desktop\n\n# keep\n[Other]\na=b\n"},
        {"duplicate key", "[Default Applications]\napplication/x-sonalo-playlist=other.desktop\nx/y=z\n"
                          "application/x-sonalo-playlist=third.desktop\n",
         "[Default Applications]\napplication/x-sonalo-playlist=sonalo-playlist.desktop\nx/y=z\n"},
        {"no final newline", "[Default Applications]\ntext/plain=gedit.desktop",
         "[Default Applications]\ntext/plain=gedit.desktop\napplication/x-sonalo-playlist=sonalo-playlist.desktop"},
        {"CRLF", "[Default Applications]\r\ntext/plain=a\r\n",
         "[Default Applications]\r\ntext/plain=a\r\napplication/x-sonalo-playlist=sonalo-playlist.desktop\r\n"},
    };
    for (const EditCase &c : cases) {
        const QByteArray once = MimeAppsList::setDefault(c.before, kType, kId);
        EXPECT_EQ(once, c.registered) << c.name;
        EXPECT_EQ(MimeAppsList::setDefault(once, kType, kId), once) << c.name << ": twice";
        EXPECT_EQ(MimeAppsList::firstDefault(once, kType), kId) << c.name;
        // Removing gives back what was there, no empty group left behind (the duplicate
        // lines of another program are gone for good).
        if (!c.before.contains("other.desktop")) {
            EXPECT_EQ(MimeAppsList::removeApplication(once, kId), c.before) << c.name << ": removed";
        }
    }
}

TEST(MimeAppsList, RemoveTakesOurIdOutOfTheListsOnly)
{
    const EditCase cases[] = {
        {"alone", "[Default Applications]\na/b=sonalo-playlist.desktop\nc/d=x.desktop\n",
         "[Default Applications]\nc/d=x.desktop\n"},
        {"first, middle, last", "[Added Associations]\na=sonalo-playlist.desktop;x.desktop;\nb=x;sonalo-playlist.desktop;y;\n"
                                "c=x;sonalo-playlist.desktop\n",
         "[Added Associations]\na=x.desktop;\nb=x;y;\nc=x\n"},
        {"removed associations untouched", "[Removed Associations]\na=sonalo-playlist.desktop;\n",
         "[Removed Associations]\na=sonalo-playlist.desktop;\n"},
        {"last line without newline", "[Default Applications]\nc=x\na=sonalo-playlist.desktop",
         "[Default Applications]\nc=x"},
        {"group emptied by us", "[Default Applications]\na=sonalo-playlist.desktop\n\n[Other]\nk=v\n", "[Other]\nk=v\n"},
        {"a comment keeps the group", "[Default Applications]\n# mine\na=sonalo-playlist.desktop\n", "[Default Applications]\n# mine\n"},
        {"an empty group of others stays", "[Added Associations]\n\n[Default Applications]\na=sonalo-playlist.desktop\n",
         "[Added Associations]\n"},
        {"similar names stay", "[Default Applications]\na=sonalo-playlist.desktop.bak;my-sonalo-playlist.desktop\n",
         "[Default Applications]\na=sonalo-playlist.desktop.bak;my-sonalo-playlist.desktop\n"},
    };
    for (const EditCase &c : cases)
        EXPECT_EQ(MimeAppsList::removeApplication(c.before, kId), c.registered) << c.name;

    // Register then remove gives the file back byte for byte.
    const QByteArray original = "# comment\n[Default Applications]\ntext/plain=gedit.desktop\n\n[Other]\nk=v\n";
    EXPECT_EQ(MimeAppsList::removeApplication(MimeAppsList::setDefault(original, kType, kId), kId), original);
    EXPECT_TRUE(MimeAppsList::firstDefault("garbage\0\xff[Default Applications\n=", kType).isEmpty());
}

} // namespace
