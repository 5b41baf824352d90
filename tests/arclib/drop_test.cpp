// The main window with the real archive component and libraries: a dropped package is
// unpacked privately, its definition loaded, the files deleted again, their folder kept.
#include "support/form_fixture.h"
#include "support/test_archives.h"

#include "app/form1_design.h"
#include "app/unpack_folder.h"

#include <QPushButton>

#include <set>

namespace fs = std::filesystem;

namespace {

// Each package holds sub/cg.bmp and a definition in sub/ using animes 1 and 3: one per
// real library, the LHA, ZIP and RAR ones with Shift-JIS names.
TEST_F(FormTest, EveryFormatUnpacksLoadsAndClearsItsPackage)
{
    const std::string shiftJisName = "\x83\x4c\x83\x83\x83\x89.chP";  // キャラ.chP
    const std::string utf8Name = "\xe3\x82\xad\xe3\x83\xa3\xe3\x83\xa9.chP";
    const fs::path fixtures = fixtureFolder() / "drop";
    const std::string definition = readFile(fixtures / "sub/chara.chP");
    const std::string cg = readFile(fixtures / "sub/cg.bmp");
    scratch.write(
        "package.rar",
        storedRar({{"sub", "", TestEntryType::folder}, {"sub\\cg.bmp", cg}, {"sub\\" + shiftJisName, definition}}));
    scratch.write("shift-jis.lzh", storedLha({{"sub\\cg.bmp", cg}, {"sub\\" + shiftJisName, definition}}));
    fs::copy_file(fixtures / "package.zip", folder / "package.exe");
    // clang-format off
    const struct { fs::path file; std::string definition; } cases[] = {
        {folder / "shift-jis.lzh", utf8Name},    {fixtures / "shift-jis.zip", utf8Name},
        {fixtures / "package.cab", "chara.chP"}, {fixtures / "package.arj", "chara.chP"},
        {fixtures / "package.tgz", "chara.chP"}, {folder / "package.rar", utf8Name},
        {folder / "package.exe", "chara.chP"},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file.filename().string());
        open();
        drop({c.file.string()});
        ASSERT_TRUE(boxes->errors.empty()) << boxes->errors.front();
        const std::string unpack = unpackFolderPath();
        EXPECT_EQ(form->chr->chpfile, unpack + "sub/" + c.definition);
        std::set<int> animes;
        for (const AnimeButton& anime : animeButtons)
            if ((form.get()->*anime.button)->isEnabled()) animes.insert(anime.anime);
        EXPECT_EQ(animes, (std::set<int>{1, 3}));
        EXPECT_FALSE(fs::exists(unpack + "sub/" + c.definition));
        EXPECT_FALSE(fs::exists(unpack + "sub/cg.bmp"));
        EXPECT_TRUE(fs::is_directory(unpack + "sub"));
        fs::remove_all(unpack);
    }
}

}  // namespace
