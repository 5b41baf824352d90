// The main window on Qt's offscreen platform with the real archive component and the
// archiver libraries beside this program: a package dropped in each format (and one
// renamed to .exe) is unpacked into the private folder, its definition loaded from
// the folder it lies in, and the unpacked files deleted again, their folder kept.
#include "support/test_archives.h"
#include "support/form_fixture.h"

#include "app/form1_design.h"
#include "app/unpack_folder.h"

#include <QPushButton>

#include <set>

namespace fs = std::filesystem;

namespace {

const std::string ShiftJisName = "\x83\x4c\x83\x83\x83\x89.chP";  // キャラ.chP
const std::string Utf8Name = "\xe3\x82\xad\xe3\x83\xa3\xe3\x83\xa9.chP";

class DropTest : public FormTest {
protected:
    std::set<int> enabledAnimes() const
    {
        std::set<int> animes;
        for (const AnimeButton& anime : animeButtons)
            if ((form.get()->*anime.button)->isEnabled()) animes.insert(anime.anime);
        return animes;
    }
    std::string tempdir() const { return unpackFolderPath(); }
};

// Each package holds sub/cg.bmp and a definition in sub/ using animes 1 and 3.
TEST_F(DropTest, EveryFormatUnpacksLoadsAndClearsItsPackage)
{
    const fs::path fixtures = fixtureFolder() / "drop";
    const fs::path archives = folder / "archives";
    fs::create_directories(archives);
    const std::string definition = readFile(fixtures / "sub/chara.chP");
    const std::string cg = readFile(fixtures / "sub/cg.bmp");
    ::writeFile(archives / "package.rar", storedRar({{"sub", "", TestEntryType::folder},
                                                   {"sub\\cg.bmp", cg},
                                                   {"sub\\" + ShiftJisName, definition}}));
    ::writeFile(archives / "shift-jis.lzh", storedLha({{"sub\\cg.bmp", cg}, {"sub\\" + ShiftJisName, definition}}));
    fs::copy_file(fixtures / "package.zip", archives / "package.exe");
    for (const char* name : {"package.lzh", "package.zip", "shift-jis.zip", "package.cab", "package.arj",
                             "package.tar", "package.tgz", "package.tar.bz2"})
        fs::copy_file(fixtures / name, archives / name);

    const struct {
        const char* file;
        std::string definition;
    } cases[] = {
        {"package.lzh", "chara.chP"},   {"shift-jis.lzh", Utf8Name}, {"package.zip", "chara.chP"},
        {"shift-jis.zip", Utf8Name},    {"package.cab", "chara.chP"}, {"package.arj", "chara.chP"},
        {"package.tar", "chara.chP"},   {"package.tgz", "chara.chP"}, {"package.tar.bz2", "chara.chP"},
        {"package.rar", Utf8Name},      {"package.exe", "chara.chP"},
    };
    // What the window shows after a drop is tested with the stand-in library; here
    // each real library's unpacking, listing and clean-up.
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        open();
        drop({(archives / c.file).string()});
        ASSERT_TRUE(boxes->errors.empty()) << boxes->errors.front();
        EXPECT_EQ(form->chr->chpfile, tempdir() + "sub/" + c.definition);
        EXPECT_EQ(enabledAnimes(), (std::set<int>{1, 3}));
        EXPECT_FALSE(fs::exists(tempdir() + "sub/" + c.definition));
        EXPECT_FALSE(fs::exists(tempdir() + "sub/cg.bmp"));
        EXPECT_TRUE(fs::is_directory(tempdir() + "sub"));
        fs::remove_all(tempdir());
    }
}

}  // namespace
