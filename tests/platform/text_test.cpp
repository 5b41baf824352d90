// Shift-JIS and UTF-8 text: decoding, shown text, slashes and file endings.
#include "platform/text.h"

#include <gtest/gtest.h>

namespace {

TEST(TextTest, Cp932DecodesAndBadBytesBecomeReplacementCharacters)
{
    EXPECT_EQ(cp932ToUtf8("\x89\xe6\x91\x9c abc"), "画像 abc");
    EXPECT_EQ(cp932ToUtf8("\xb1"), "ｱ");  // half-width katakana
    EXPECT_EQ(cp932ToUtf8("a\x81"), "a\xEF\xBF\xBD");  // a lead byte cut off at the end
    EXPECT_EQ(cp932ToUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(TextTest, DisplayTextKeepsUtf8AndDecodesTheRest)
{
    EXPECT_TRUE(isValidUtf8("画像"));
    EXPECT_FALSE(isValidUtf8("\xe7\x94"));
    EXPECT_EQ(displayText("画像"), "画像");
    EXPECT_EQ(displayText("\x89\xe6\x91\x9c"), "画像");
    EXPECT_EQ(firstUtf8Characters("a画像b", 2), "a画");
    EXPECT_EQ(firstUtf8Characters("a画", 5), "a画");
}

TEST(TextTest, BackslashesBecomeSlashesExceptInsideDoubleByteCharactersAndEndingsIgnoreAsciiCase)
{
    EXPECT_EQ(cp932ForwardSlashes("a\\b\\c.bmp"), "a/b/c.bmp");
    EXPECT_EQ(cp932ForwardSlashes("\x83\x5c\\x"), "\x83\x5c/x");  // the "\" of "ソ" stays
    EXPECT_TRUE(endsWithIgnoringCase("pkg/chara.LZH", ".lzh"));
    EXPECT_FALSE(endsWithIgnoringCase("gz", ".gz"));
    EXPECT_FALSE(endsWithIgnoringCase("a.zip/b", ".zip"));
    EXPECT_FALSE(endsWithIgnoringCase("a.\xC9", ".\xE9"));  // only ASCII letters have a case here
}

}  // namespace
