#include "export/OutputColour.h"

#include <gtest/gtest.h>

namespace {

TEST(OutputColourTest, TypedColourAndItsTextColour)
{
    const struct
    {
        const char *typed;
        std::optional<quint32> colour;
        quint32 text;
    } cases[] = {
        {"#00ff80", 0xFF00FF80u, 0xFFFFFFFFu}, // 383: white text
        {"#FFFF00", 0xFFFFFF00u, 0xFF000000u}, // 510: black text
        {"#FF0000", 0xFFFF0000u, 0xFFFFFFFFu},
        {"##a0b#0c0", 0xFFA0B0C0u, 0xFF000000u}, // every "#" goes, wherever it stands; 528
        {"12345", std::nullopt, 0},
        {"#GG0000", std::nullopt, 0},
        {"+12345", std::nullopt, 0},
        {"0x1234", std::nullopt, 0},
        {"", std::nullopt, 0},
    };
    for (const auto &c : cases) {
        const auto colour = parseColourField(QLatin1String(c.typed));
        EXPECT_EQ(colour, c.colour) << c.typed;
        if (colour) {
            EXPECT_EQ(readableTextColour(*colour), c.text) << c.typed;
        }
    }
}

TEST(OutputColourTest, FieldTextIsUpperCaseRedFirst)
{
    EXPECT_EQ(colourFieldText(0xFFFF0000u), QStringLiteral("#FF0000"));
    EXPECT_EQ(colourFieldText(0xFF0a0b0cu), QStringLiteral("#0A0B0C"));
    EXPECT_EQ(readableTextColour(0xFFFF0000u), 0xFFFFFFFFu);
}

} // namespace
