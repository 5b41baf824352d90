#include "app/info_json.h"
#include "app/software_display.h"
#include "package_folder.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <memory>

namespace {

class InfoJsonTest : public PackageTest {
protected:
    QJsonObject parsed() const
    {
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(infoJson(*chr)), &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
        return document.object();
    }

    SoftwareDisplay display;
    std::unique_ptr<Tqpchr> chr = std::make_unique<Tqpchr>(&display.dddd());
};

TEST_F(InfoJsonTest, NothingLoaded)
{
    EXPECT_EQ(infoJson(*chr),
              R"({"chpfile":"","charname":"","artist":"","datahex":false,"viewwidth":121,"framewait":100,"cgfile":"",)"
              R"("facefile":"","selectcgfile":"","cgsize":[128,192],"patrect":{},"animes":{}})");
}

TEST_F(InfoJsonTest, WholeDocumentOfASmallDefinition)
{
    const std::string file = writeSampleDefinition({"#CHARNAME \x83\x7c\x83\x81 rest", R"(#ARTIST a"b\c)", "#ANIME 80",
                                                    "#CHARFACE face.bmp", "#PATERN 01 0203 0101", "#LAYER 04 03 02", "#LOOP 06 3"});
    chr->load(file);
    const std::string f = folder.string();
    EXPECT_EQ(infoJson(*chr),
              R"({"chpfile":")" + file + R"(","charname":"ポメ","artist":"a\"b\\c","datahex":false,"viewwidth":8,"framewait":80,)"
              R"("cgfile":")" + f + R"(/cg.bmp","facefile":")" + f + R"(/face.bmp","selectcgfile":"","cgsize":[16,5],)"
              R"("patrect":{"1":[0,0,4,4],"2":[4,0,8,4],"3":[8,0,12,4],"4":[12,0,16,4]},"animes":{)"
              R"("1":{"animeused":true,"patdstused":true,"layerused":false,"loopframe":-1,"patsrc":[2,3],"patdst":[1,1],)"
              R"("laysrc":[],"laydst":[],"patsrctext":"0203","patdsttext":"0101","laysrctext":"","laydsttext":""},)"
              R"("4":{"animeused":true,"patdstused":false,"layerused":true,"loopframe":-1,"patsrc":[],"patdst":[],)"
              R"("laysrc":[3],"laydst":[2],"patsrctext":"","patdsttext":"","laysrctext":"03","laydsttext":"02"},)"
              R"("6":{"animeused":false,"patdstused":false,"layerused":false,"loopframe":3,"patsrc":[],"patdst":[],)"
              R"("laysrc":[],"laydst":[],"patsrctext":"","patdsttext":"","laysrctext":"","laydsttext":""}}})");
}

TEST_F(InfoJsonTest, HexPatternNumbersAndLongLists)
{
    std::string list;
    for (int p = 0; p < 300; ++p) list += p % 2 ? "fF" : "0a";
    chr->load(writeSampleDefinition({"#DATA16", "#1A 1 2 3 4", "#FF -5 -6 1 1", "#PATERN 30 " + list}));
    const QJsonObject info = parsed();
    EXPECT_TRUE(info["datahex"].toBool());
    const QJsonObject patrect = info["patrect"].toObject();
    EXPECT_EQ(patrect.keys(), (QStringList{"1", "2", "255", "26", "3", "4"}));
    EXPECT_EQ(patrect["26"].toArray(), (QJsonArray{1, 2, 4, 6}));
    EXPECT_EQ(patrect["255"].toArray(), (QJsonArray{-5, -6, -4, -5}));
    const QJsonObject check = info["animes"].toObject()["30"].toObject();
    const QJsonArray patsrc = check["patsrc"].toArray();
    ASSERT_EQ(patsrc.size(), 300);
    EXPECT_EQ(patsrc[0].toInt(), 10);
    EXPECT_EQ(patsrc[299].toInt(), 255);
    EXPECT_EQ(check["patsrctext"].toString().toStdString(), list);
}

TEST_F(InfoJsonTest, EveryValueThatDiffersFromResetShowsItsAnime)
{
    chr->patsrc[3][0] = 5;     // frame 0, as the author tools may write it
    chr->laydst[4][511] = 7;   // the last frame of the table
    chr->patdstused[5] = true;
    chr->laysrctext[6] = "\x83\x7c";
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

TEST_F(InfoJsonTest, TextsWithControlCharactersStayValidJson)
{
    chr->load(writeSampleDefinition({"#CHARNAME a\x01\"\x1f\x7fz", "#SELECTCG \x88\xea.bmp"}));
    const QJsonObject info = parsed();
    EXPECT_EQ(info["charname"].toString(), QString::fromUtf8("a\x01\"\x1f\x7fz"));
    EXPECT_EQ(info["selectcgfile"].toString(), QString::fromStdString(folder.string() + "/一.bmp"));
}

}  // namespace
