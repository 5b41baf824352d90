// Runs the built program on packages made in the test's folder: one run of each mode
// with its output and exit status, and how it ends when it cannot write.
#include "app/command_line.h"
#include "support/package_folder.h"

#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>

namespace {

using namespace sample;

// The exit status, standard output and standard error of a run.
struct Outcome {
    int status;
    std::string output, errors;
};

void expectOutcome(const Outcome& seen, const Outcome& expected)
{
    EXPECT_EQ(seen.status, expected.status);
    EXPECT_EQ(seen.output, expected.output);
    EXPECT_EQ(seen.errors, expected.errors);
}

// The test's folder holds no quote, nor does the program's path.
std::string quoted(const std::string& text) { return "'" + text + "'"; }

class ProgramTest : public PackageTest {
protected:
    // Runs pomelune with the arguments in the test's folder, within 20 seconds;
    // standard output goes to output.
    Outcome run(const std::vector<std::string>& arguments, const std::string& output = "stdout.txt") const
    {
        std::string command = "cd " + quoted(folder.string()) + " && timeout 20 " + quoted(POMELUNE_EXECUTABLE);
        for (const auto& argument : arguments) command += " " + quoted(argument);
        std::filesystem::remove(folder / "stdout.txt");
        const int result = std::system((command + " >" + output + " 2>stderr.txt").c_str());
        return {WIFEXITED(result) ? WEXITSTATUS(result) : -1, fileText(folder / "stdout.txt"),
                fileText(folder / "stderr.txt")};
    }
};

TEST_F(ProgramTest, InfoPrintsTheDocumentOnOneLine)
{
    const std::string file = writeSampleDefinition({"#CHARNAME \x83\x7c\x83\x81 rest", "#ARTIST a\x01\"b\\c",
                                                    "#ANIME 80", "#CHARFACE face.bmp", "#SELECTCG \x88\xea.bmp",
                                                    "#PATERN 01 0203 0101", "#LAYER 04 03 02", "#LOOP 06 3"});
    const std::string f = folder.string();
    const std::string document =
        R"({"chpfile":")" + file +
        R"(","charname":"ポメ","artist":"a\u0001\"b\\c","datahex":false,"viewwidth":8,)"
        R"("framewait":80,"cgfile":")" +
        f + R"(/cg.bmp","facefile":")" + f + R"(/face.bmp","selectcgfile":")" + f +
        R"(/一.bmp","cgsize":[16,5],"patrect":{"1":[0,0,4,4],"2":[4,0,8,4],"3":[8,0,12,4],"4":[12,0,16,4]},"animes":{)"
        R"("1":{"animeused":true,"patdstused":true,"layerused":false,"loopframe":-1,"patsrc":[2,3],"patdst":[1,1],)"
        R"("laysrc":[],"laydst":[],"patsrctext":"0203","patdsttext":"0101","laysrctext":"","laydsttext":""},)"
        R"("4":{"animeused":true,"patdstused":false,"layerused":true,"loopframe":-1,"patsrc":[],"patdst":[],)"
        R"("laysrc":[3],"laydst":[2],"patsrctext":"","patdsttext":"","laysrctext":"03","laydsttext":"02"},)"
        R"("6":{"animeused":false,"patdstused":false,"layerused":false,"loopframe":3,"patsrc":[],"patdst":[],)"
        R"("laysrc":[],"laydst":[],"patsrctext":"","patdsttext":"","laysrctext":"","laydsttext":""}}})";
    expectOutcome(run({"--info", file}), {0, document + "\n", ""});
}

TEST_F(ProgramTest, ExitStatusAndMessages)
{
    const std::string missing = (folder / "missing.chP").string();
    const struct {
        std::vector<std::string> arguments;
        Outcome outcome;
    } cases[] = {
        {{"--help"}, {0, usageText(), ""}},
        {{"--version"}, {0, "pomelune " POMELUNE_VERSION "\n", ""}},
        {{"--info", missing}, {1, "", "pomelune: ファイル " + missing + " は開けません: No such file or directory\n"}},
        {{"--bogus", "x"}, {2, "", "pomelune: unknown option '--bogus' (see pomelune --help)\n"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.arguments));
        expectOutcome(run(c.arguments), c.outcome);
    }
}

TEST_F(ProgramTest, FailedWritesEndWithStatusOne)
{
    const std::string file = writeSampleDefinition({"#PATERN 01 0203"});
    const std::string full = "pomelune: 標準出力に書き込めません: No space left on device\n";
    expectOutcome(run({"--info", file}, "/dev/full"), {1, "", full});
    // A file-size limit stands in for a full disk; the messages pass through a pipe,
    // which the limit does not hold back.
    const std::string command = "cd " + quoted(folder.string()) + " && { (trap '' XFSZ; ulimit -f 0; exec " +
                                quoted(POMELUNE_EXECUTABLE) +
                                " --render chara.chP); echo $? >status.txt; } 2>&1 | cat >stderr.txt";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(fileText(folder / "status.txt"), "1\n");
    EXPECT_EQ(fileText(folder / "stderr.txt"), "pomelune: ファイル ./frame0001.png に書き込めません: File too large\n");
    EXPECT_FALSE(std::filesystem::exists(folder / "frame0001.png"));
    for (const auto& entry : std::filesystem::directory_iterator(folder))  // no temporary file is left
        EXPECT_FALSE(entry.path().filename().string().starts_with(".")) << entry.path();
}

TEST_F(ProgramTest, FramesReplaceWhatHadTheirNamesWithoutFollowingIt)
{
    const std::string file = writeSampleDefinition({"#PATERN 01 0203"});
    writeFile("outside.png", "kept");
    std::filesystem::create_directories(folder / "out");
    std::filesystem::create_symlink(folder / "outside.png", folder / "out/frame0001.png");
    ASSERT_EQ(mkfifo((folder / "out/frame0002.png").c_str(), 0600), 0);
    expectOutcome(run({"--render", file, "--out", "out"}), {0, "", ""});
    EXPECT_EQ(fileText(folder / "outside.png"), "kept");
    for (const char* name : {"out/frame0001.png", "out/frame0002.png"})  // a FIFO left in place would block the reading
        ASSERT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(folder / name))) << name;
    EXPECT_EQ(pngPixels(folder / "out/frame0001.png"), view(red));
    EXPECT_EQ(pngPixels(folder / "out/frame0002.png"), view(green));
}

TEST_F(ProgramTest, ACgTheLoaderCannotTakeWholeIsReported)
{
    const std::string file = writeSampleDefinition({"#PATERN 01 0203"});
    std::filesystem::resize_file(folder / "cg.bmp",
                                 std::filesystem::file_size(folder / "cg.bmp") - 8);  // the last row cut off
    const std::string warning = "pomelune: CG " + (folder / "cg.bmp").string() +
                                " を読み込めません: the file ends inside its pixel rows (286 of 294 bytes)\n";
    const auto [status, output, errors] = run({"--info", file});
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(output.starts_with("{")) << output;
    EXPECT_EQ(errors, warning);
    expectOutcome(run({"--render", file}), {1, "", warning});
    EXPECT_FALSE(std::filesystem::exists(folder / "frame0001.png"));
}

}  // namespace
