// The text rules of definitions: the one integer rule, pairs, positions and words; the
// parser's tests cover the rest through whole lines.
#include "chr/definition_format.h"

#include <gtest/gtest.h>

namespace {

using namespace definition_text;

TEST(DefinitionTextTest, IntegersAndPairsFollowOneRule)
{
    // clang-format off
    const struct { const char* text; std::optional<int32_t> value; } cases[] = {
        {"42", 42}, {"  -7", -7}, {"+3", 3}, {"$ff", 255}, {"x1A", 26}, {"X1a", 26}, {"0x10", 16}, {"0X10", 16}, {"-$10", -16},
        {"$FFFFFFFF", -1}, {"2147483647", INT32_MAX}, {"-2147483648", INT32_MIN}, {"", {}}, {" ", {}}, {"$", {}}, {"0x", {}},
        {"2147483648", {}}, {"$100000000", {}}, {"12 ", {}}, {"1a", {}}, {"--1", {}}, {"+", {}}, {"0x1g", {}}, {"99999999999999999999", {}},
    };
    // clang-format on
    for (const auto& c : cases) EXPECT_EQ(parseInteger(c.text), c.value) << c.text;
    for (const auto& [text, value] : {std::pair{"0A", 10}, {"ff", 255}, {" 7", 7}, {"7 ", 7}})
        EXPECT_EQ(hexPairValue(text), value) << text;
}

TEST(DefinitionTextTest, PositionsWordsAndKeywords)
{
    EXPECT_EQ(restFrom("#SIZE 121", 6), " 121");
    EXPECT_EQ(restFrom("#SIZE", 7), "");
    EXPECT_EQ(firstWord(" x"), "");
    EXPECT_EQ(firstWord("赤\x81\x40猫 x"), "赤\x81\x40猫");  // a full-width space is no separator
    for (const KeywordFormat& format : keywordFormats)
        EXPECT_EQ(lineKeyword("#" + std::string(format.name) + "X"), format.keyword);
    EXPECT_EQ(lineKeyword(" #LOOP"), std::nullopt);
    EXPECT_EQ(lineKeyword("#LOO"), std::nullopt);
}

}  // namespace
