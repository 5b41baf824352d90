// The one integer rule of definitions and their hexadecimal pairs; the parser's tests
// cover the other text rules through whole lines.
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

}  // namespace
