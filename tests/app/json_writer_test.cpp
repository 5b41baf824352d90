#include "app/json_writer.h"

#include <gtest/gtest.h>

namespace {

TEST(JsonQuoted, EscapesQuotesBackslashesAndControlCharacters)
{
    EXPECT_EQ(jsonQuoted(""), R"("")");
    EXPECT_EQ(jsonQuoted(R"(say "hi" \ C:\dir\)"), R"("say \"hi\" \\ C:\\dir\\")");
    EXPECT_EQ(jsonQuoted("\b\f\n\r\t"), R"("\b\f\n\r\t")");
    EXPECT_EQ(jsonQuoted(std::string("a\0b", 3)), R"("a\u0000b")");
    EXPECT_EQ(jsonQuoted("\x01\x1b\x1f"), R"("\u0001\u001b\u001f")");
}

TEST(JsonQuoted, KeepsPrintableAsciiAndUtf8)
{
    EXPECT_EQ(jsonQuoted(" /'~\x7f"), "\" /'~\x7f\"");
    EXPECT_EQ(jsonQuoted("ポメ・ルーン"), "\"ポメ・ルーン\"");
}

TEST(JsonWriter, SeparatesMembersAndElementsAtEveryDepth)
{
    JsonWriter json;
    json.beginObject();
    json.key("a").beginArray();
    json.number(1);
    json.number(-2147483648);
    json.beginObject();
    json.key("b").boolean(true);
    json.key("c").boolean(false);
    json.endObject();
    json.beginArray();
    json.endArray();
    json.endArray();
    json.key("d\"").string("x\n");
    json.key("e").beginObject();
    json.endObject();
    json.endObject();
    EXPECT_EQ(json.text(), R"({"a":[1,-2147483648,{"b":true,"c":false},[]],"d\"":"x\n","e":{}})");
}

}  // namespace
