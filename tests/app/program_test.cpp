// Runs the built program on packages made in the test's folder.
#include "app/command_line.h"
#include "package_folder.h"

#include <sys/wait.h>

#include <cstdlib>
#include <sstream>
#include <tuple>

namespace {

using namespace sample;

// The exit status, standard output and standard error of a run.
using Outcome = std::tuple<int, std::string, std::string>;

std::string quoted(const std::string& text)
{
    std::string result = "'";
    for (const char c : text) result += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return result + "'";
}

std::string contents(const std::filesystem::path& path)
{
    std::stringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

class ProgramTest : public PackageTest {
protected:
    // Runs pomelune with the arguments in the test's folder.
    Outcome run(const std::vector<std::string>& arguments) const
    {
        std::string command = "cd " + quoted(folder.string()) + " && " + quoted(POMELUNE_EXECUTABLE);
        for (const auto& argument : arguments) command += " " + quoted(argument);
        const int result = std::system((command + " >stdout.txt 2>stderr.txt").c_str());
        return {WIFEXITED(result) ? WEXITSTATUS(result) : -1, contents(folder / "stdout.txt"), contents(folder / "stderr.txt")};
    }
};

TEST_F(ProgramTest, InfoPrintsTheDocumentOnOneLine)
{
    const std::string file = writeSampleDefinition({"#CHARNAME \x83\x7c\x83\x81 rest", "#ARTIST a\x01\"b\\c", "#ANIME 80",
                                                    "#CHARFACE face.bmp", "#SELECTCG \x88\xea.bmp", "#PATERN 01 0203 0101",
                                                    "#LAYER 04 03 02", "#LOOP 06 3"});
    const std::string f = folder.string();
    const std::string document =
        R"({"chpfile":")" + file + R"(","charname":"ポメ","artist":"a\u0001\"b\\c","datahex":false,"viewwidth":8,)"
        R"("framewait":80,"cgfile":")" + f + R"(/cg.bmp","facefile":")" + f + R"(/face.bmp","selectcgfile":")" + f +
        R"(/一.bmp","cgsize":[16,5],"patrect":{"1":[0,0,4,4],"2":[4,0,8,4],"3":[8,0,12,4],"4":[12,0,16,4]},"animes":{)"
        R"("1":{"animeused":true,"patdstused":true,"layerused":false,"loopframe":-1,"patsrc":[2,3],"patdst":[1,1],)"
        R"("laysrc":[],"laydst":[],"patsrctext":"0203","patdsttext":"0101","laysrctext":"","laydsttext":""},)"
        R"("4":{"animeused":true,"patdstused":false,"layerused":true,"loopframe":-1,"patsrc":[],"patdst":[],)"
        R"("laysrc":[3],"laydst":[2],"patsrctext":"","patdsttext":"","laysrctext":"03","laydsttext":"02"},)"
        R"("6":{"animeused":false,"patdstused":false,"layerused":false,"loopframe":3,"patsrc":[],"patdst":[],)"
        R"("laysrc":[],"laydst":[],"patsrctext":"","patdsttext":"","laysrctext":"","laydsttext":""}}})";
    EXPECT_EQ(run({"--info", file}), (Outcome{0, document + "\n", ""}));
}

TEST_F(ProgramTest, RenderWritesTheFramesOfTheAnime)
{
    const std::string file = writeSampleDefinition({"#PATERN 01 0203"});
    EXPECT_EQ(run({"--render", file}), (Outcome{0, "", ""}));
    EXPECT_EQ(pngPixels(folder / "frame0001.png"), view(red));
    EXPECT_EQ(pngPixels(folder / "frame0002.png"), view(green));
    EXPECT_FALSE(std::filesystem::exists(folder / "frame0003.png"));

    EXPECT_EQ(run({"--render", file, "--anime", "1", "--frames=3", "--out", "images/new"}), (Outcome{0, "", ""}));
    EXPECT_EQ(pngPixels(folder / "images/new/frame0001.png"), view(red));
    EXPECT_EQ(pngPixels(folder / "images/new/frame0002.png"), view(green));
    EXPECT_EQ(pngPixels(folder / "images/new/frame0003.png"), view(red));
}

TEST_F(ProgramTest, ExitStatusAndMessages)
{
    const std::string missing = (folder / "missing.chP").string();
    const std::string cannotOpen = "ファイル " + missing + " は開けません\n";
    const std::vector<std::pair<std::vector<std::string>, Outcome>> cases = {
        {{"--help"}, {0, usageText(), ""}},
        {{"--version"}, {0, "pomelune " POMELUNE_VERSION "\n", ""}},
        {{"--info", missing}, {1, "", cannotOpen}},
        {{"--render", missing}, {1, "", cannotOpen}},
        {{"--info", writeFile("bad.chP", "#SIZE wide\r\n")}, {1, "", "'wide' は数値ではありません\n"}},
        {{"--bogus", "x"}, {2, "", "pomelune: unknown option '--bogus' (see pomelune --help)\n"}},
        {{"--render", "x.chP", "--frames", "0"},
         {2, "", "pomelune: --frames needs a whole number from 1 to 9999, not '0' (see pomelune --help)\n"}},
        {{}, {2, "", usageText()}},
    };
    for (const auto& [arguments, outcome] : cases) EXPECT_EQ(run(arguments), outcome) << testing::PrintToString(arguments);
    EXPECT_FALSE(std::filesystem::exists(folder / "frame0001.png"));
    EXPECT_NE(usageText().find("\n       pomelune --render FILE.chP [--anime N] [--frames K] [--out DIR]\n"), std::string::npos);
}

}  // namespace
