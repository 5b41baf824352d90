#include "chr/definition_text.h"

#include "platform/exception.h"

#include <gtest/gtest.h>

namespace {

using namespace definition_text;

TEST(DefinitionTextTest, IntegersFollowOneRule)
{
    const std::pair<const char*, int32_t> good[] = {{"42", 42}, {"  -7", -7}, {"+3", 3}, {"$ff", 255}, {"x1A", 26}, {"X1a", 26},
                                                    {"0x10", 16}, {"0X10", 16}, {"-$10", -16}, {"$FFFFFFFF", -1},
                                                    {"2147483647", INT32_MAX}, {"-2147483648", INT32_MIN}};
    for (const auto& [text, value] : good) EXPECT_EQ(parseInteger(text), value) << text;
    for (const char* bad : {"", " ", "$", "0x", "2147483648", "$100000000", "12 ", "1a", "--1", "+", "0x1g", "99999999999999999999"})
        EXPECT_EQ(parseInteger(bad), std::nullopt) << bad;
}

TEST(DefinitionTextTest, ConversionErrorsShowTheText)
{
    try {
        hexPairValue("0G");
        FAIL();
    } catch (const EConvertError& error) {
        EXPECT_STREQ(error.what(), "'$0G' は数値ではありません");
    }
    EXPECT_EQ(std::tuple(hexPairValue("0A"), hexPairValue("ff"), hexPairValue(" 7")), std::tuple(10, 255, 7));
    EXPECT_THROW(toInteger("X"), EConvertError);
}

TEST(DefinitionTextTest, PositionsWordsAndSplits)
{
    EXPECT_EQ(restFrom("#SIZE 121", 6), " 121");
    EXPECT_EQ(restFrom("#SIZE", 7), "");
    EXPECT_EQ(restFrom(std::string(2000, 'a'), 1).size(), 1024u);
    EXPECT_EQ(trim("\t\x01 a b \r"), "a b");
    const Split one = split("010203 0A0A0B");
    EXPECT_EQ(one.word, "010203");
    EXPECT_EQ(one.remainder, "0A0A0B");
    EXPECT_EQ(split("01  02").remainder, " 02");  // exactly one separator is consumed
    EXPECT_EQ(firstWord(" x"), "");
    EXPECT_EQ(firstWord("Red Cat"), "Red");
    EXPECT_EQ(firstWord("赤\x81\x40猫 x"), "赤\x81\x40猫");  // a full-width space is no separator
    EXPECT_TRUE(startsWithKeyword("#patern 01", "#PATERN"));
    EXPECT_TRUE(startsWithKeyword("#LOOPX", "#LOOP"));
    EXPECT_FALSE(startsWithKeyword(" #LOOP", "#LOOP"));
    EXPECT_FALSE(startsWithKeyword("#LOO", "#LOOP"));
}

}  // namespace
