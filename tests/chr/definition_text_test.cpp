// The text rules of definitions: the one integer rule, pairs, positions and words.
#include "chr/definition_format.h"

#include "platform/exception.h"
#include "support/thrown.h"

#include <gtest/gtest.h>

namespace {

using namespace definition_text;

TEST(DefinitionTextTest, IntegersAndPairsFollowOneRule)
{
    struct Case {
        const char* text;
        std::optional<int32_t> value;
    };
    const Case cases[] = {{"42", 42}, {"  -7", -7}, {"+3", 3}, {"$ff", 255}, {"x1A", 26}, {"X1a", 26}, {"0x10", 16}, {"0X10", 16},
                          {"-$10", -16}, {"$FFFFFFFF", -1}, {"2147483647", INT32_MAX}, {"-2147483648", INT32_MIN}, {"", {}}, {" ", {}},
                          {"$", {}}, {"0x", {}}, {"2147483648", {}}, {"$100000000", {}}, {"12 ", {}}, {"1a", {}}, {"--1", {}},
                          {"+", {}}, {"0x1g", {}}, {"99999999999999999999", {}}};
    for (const Case& c : cases) EXPECT_EQ(parseInteger(c.text), c.value) << c.text;
    for (const Case& c : {Case{"0A", 10}, Case{"ff", 255}, Case{" 7", 7}, Case{"7 ", 7}}) EXPECT_EQ(hexPairValue(c.text), c.value) << c.text;
    EXPECT_EQ(thrownMessage<EConvertError>([] { hexPairValue("0G"); }), "'$0G' は数値ではありません");
}

TEST(DefinitionTextTest, PositionsWordsAndKeywords)
{
    EXPECT_EQ(restFrom("#SIZE 121", 6), " 121");
    EXPECT_EQ(restFrom("#SIZE", 7), "");
    EXPECT_EQ(restFrom(std::string(2000, 'a'), 1).size(), 1024u);
    EXPECT_EQ(trim("\t\x01 a b \r"), "a b");
    EXPECT_EQ(split("010203 0A0A0B").word, "010203");
    EXPECT_EQ(split("01  02").remainder, " 02");  // exactly one separator is consumed
    EXPECT_EQ(firstWord(" x"), "");
    EXPECT_EQ(firstWord("赤\x81\x40猫 x"), "赤\x81\x40猫");  // a full-width space is no separator
    for (const KeywordFormat& format : keywordFormats) EXPECT_EQ(lineKeyword("#" + std::string(format.name) + "X"), format.keyword);
    EXPECT_EQ(lineKeyword("#patern 01"), Keyword::Patern);
    EXPECT_EQ(lineKeyword(" #LOOP"), std::nullopt);
    EXPECT_EQ(lineKeyword("#LOO"), std::nullopt);
    EXPECT_EQ(keywordValue("#DATA 16 x", Keyword::Data), "16");  // four characters from column 6
}

}  // namespace
