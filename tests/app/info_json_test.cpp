// What the program test's --info document of a small definition does not reach.
#include "app/info_json.h"
#include "app/json_writer.h"
#include "display/offscreen_display.h"
#include "support/package_folder.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// Quotes, backslashes, UTF-8 and \x01 are in the program test's document.
TEST(JsonQuoted, EscapesControlCharactersOnly)
{
    EXPECT_EQ(jsonQuoted("\b\f\n\r\t"), R"("\b\f\n\r\t")");
    EXPECT_EQ(jsonQuoted(std::string("\0\x1b\x1f", 3)), R"("\u0000\u001b\u001f")");
    EXPECT_EQ(jsonQuoted(" /'~\x7f"), "\" /'~\x7f\"");
}

class InfoJsonTest : public PackageTest {
protected:
    QJsonObject parsed() const
    {
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(infoJson(chr)), &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
        return document.object();
    }

    OffscreenDisplay display;
    Tqpchr chr{&display.dddd()};
};

TEST_F(InfoJsonTest, HexPatternNumbersAndLongLists)
{
    std::string list;
    for (int p = 0; p < 300; ++p) list += p % 2 ? "fF" : "0a";
    chr.load(writeSampleDefinition({"#DATA16", "#FF -5 -6 1 1", "#PATERN 30 " + list}));
    const QJsonObject info = parsed();
    EXPECT_TRUE(info["datahex"].toBool());
    EXPECT_EQ(info["patrect"].toObject()["255"].toArray(), (QJsonArray{-5, -6, -4, -5}));
    const QJsonObject check = info["animes"].toObject()["30"].toObject();
    ASSERT_EQ(check["patsrc"].toArray().size(), 300);
    EXPECT_EQ(check["patsrc"].toArray()[299].toInt(), 255);
    EXPECT_EQ(check["patsrctext"].toString().toStdString(), list);
}

TEST_F(InfoJsonTest, EveryValueThatDiffersFromResetShowsItsAnime)
{
    chr.patsrc[3][0] = 5;  // frame 0, as the author tools may write it
    chr.laydst[4][511] = 7;  // the last frame of the table: the row is listed up to it, gaps included
    chr.patdstused[5] = true;
    chr.laysrctext[6] = "\x83\x7c";
    const QJsonObject animes = parsed()["animes"].toObject();
    EXPECT_EQ(animes.keys(), (QStringList{"3", "4", "5", "6"}));
    EXPECT_EQ(animes["3"].toObject()["patsrc"].toArray(), QJsonArray{});
    const QJsonArray laydst = animes["4"].toObject()["laydst"].toArray();
    ASSERT_EQ(laydst.size(), 511);
    EXPECT_EQ(laydst[0].toInt(), -1);
    EXPECT_EQ(laydst[510].toInt(), 7);
    EXPECT_TRUE(animes["5"].toObject()["patdstused"].toBool());
    EXPECT_EQ(animes["6"].toObject()["laysrctext"].toString(), QString::fromUtf8("ポ"));
}

}  // namespace
