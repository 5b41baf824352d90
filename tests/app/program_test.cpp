// Runs the built program on packages made in the test's folder.
#include "package_folder.h"
#include "png_pixels.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <sys/wait.h>

#include <cstdlib>
#include <sstream>

namespace {

using namespace sample;

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

std::string quoted(const std::string& text)
{
    std::string result = "'";
    for (const char c : text) result += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return result + "'";
}

std::string contents(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class ProgramTest : public PackageTest {
protected:
    // Runs pomelune with the arguments in the test's folder.
    Outcome run(const std::vector<std::string>& arguments) const
    {
        std::string command = "cd " + quoted(folder.string()) + " && " + quoted(POMELUNE_EXECUTABLE);
        for (const auto& argument : arguments) command += " " + quoted(argument);
        command += " >stdout.txt 2>stderr.txt";
        const int result = std::system(command.c_str());
        return {WIFEXITED(result) ? WEXITSTATUS(result) : -1, contents(folder / "stdout.txt"), contents(folder / "stderr.txt")};
    }
};

TEST_F(ProgramTest, InfoPrintsOneJsonObject)
{
    const std::string file = writeSampleDefinition({"#CHARNAME \x83\x7c\x83\x81", "#PATERN 04 0203 0101", "#LOOP 04 1"});
    const Outcome result = run({"--info", file});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");
    ASSERT_FALSE(result.out.empty());
    EXPECT_EQ(result.out.find('\n'), result.out.size() - 1);  // one line

    QJsonParseError error;
    const QJsonObject info = QJsonDocument::fromJson(QByteArray::fromStdString(result.out), &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError);
    EXPECT_EQ(info["chpfile"].toString().toStdString(), file);
    EXPECT_EQ(info["charname"].toString(), QString::fromUtf8("ポメ"));
    EXPECT_EQ(info["viewwidth"].toInt(), 8);
    EXPECT_EQ(info["cgsize"].toArray(), (QJsonArray{16, 5}));
    EXPECT_EQ(info["patrect"].toObject()["4"].toArray(), (QJsonArray{12, 0, 16, 4}));
    const QJsonObject animes = info["animes"].toObject();
    EXPECT_EQ(animes.keys(), QStringList{"4"});
    EXPECT_EQ(animes["4"].toObject()["patsrc"].toArray(), (QJsonArray{2, 3}));
    EXPECT_EQ(animes["4"].toObject()["loopframe"].toInt(), 1);
    EXPECT_TRUE(animes["4"].toObject()["patdstused"].toBool());
}

TEST_F(ProgramTest, LoadErrorsGoToStandardErrorWithStatusOne)
{
    const std::string missing = (folder / "missing.chP").string();
    for (const char* mode : {"--info", "--render"}) {
        const Outcome result = run({mode, missing});
        EXPECT_EQ(result.status, 1) << mode;
        EXPECT_EQ(result.out, "") << mode;
        EXPECT_EQ(result.err, "ファイル " + missing + " は開けません\n") << mode;
    }
    const Outcome badNumber = run({"--info", writeDefinition({"#SIZE wide"}, "bad.chP")});
    EXPECT_EQ(badNumber.status, 1);
    EXPECT_EQ(badNumber.err, "'wide' は数値ではありません\n");
    EXPECT_FALSE(std::filesystem::exists(folder / "frame0001.png"));
}

TEST_F(ProgramTest, RenderWritesTheFramesOfTheAnime)
{
    const std::string file = writeSampleDefinition({"#PATERN 01 0203"});
    const Outcome here = run({"--render", file});
    EXPECT_EQ(here.status, 0) << here.err;
    EXPECT_EQ(here.out + here.err, "");
    EXPECT_EQ(pngPixels(folder / "frame0001.png"), view(red));
    EXPECT_EQ(pngPixels(folder / "frame0002.png"), view(green));
    EXPECT_FALSE(std::filesystem::exists(folder / "frame0003.png"));

    const Outcome elsewhere = run({"--render", file, "--anime", "1", "--frames=3", "--out", "images"});
    EXPECT_EQ(elsewhere.status, 0) << elsewhere.err;
    EXPECT_EQ(pngPixels(folder / "images" / "frame0001.png"), view(red));
    EXPECT_EQ(pngPixels(folder / "images" / "frame0002.png"), view(green));
    EXPECT_EQ(pngPixels(folder / "images" / "frame0003.png"), view(red));
}

TEST_F(ProgramTest, HelpAndVersion)
{
    const Outcome help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--render FILE.chP"), std::string::npos);
    EXPECT_EQ(help.err, "");
    const Outcome version = run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "pomelune " POMELUNE_VERSION "\n");
}

TEST_F(ProgramTest, UsageErrorsGiveStatusTwo)
{
    const Outcome unknown = run({"--bogus", "x"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.out, "");
    EXPECT_EQ(unknown.err, "pomelune: unknown option '--bogus' (see pomelune --help)\n");
    const Outcome badFrames = run({"--render", "x.chP", "--frames", "0"});
    EXPECT_EQ(badFrames.status, 2);
    EXPECT_EQ(std::count(badFrames.err.begin(), badFrames.err.end(), '\n'), 1);
    const Outcome nothing = run({});
    EXPECT_EQ(nothing.status, 2);
    EXPECT_NE(nothing.err.find("Usage: pomelune"), std::string::npos);
}

}  // namespace
