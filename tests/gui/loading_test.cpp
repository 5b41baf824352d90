// Loading a package into the main window: from the command line, from a drop of a
// file beside a definition, and from a dropped archive through the stand-in
// UNLHA32.DLL, including listings that try to lead out of the unpack folder.
#include "support/form_fixture.h"

#include "app/form1_design.h"
#include "app/unpack_folder.h"
#include "archive/archive_file.h"
#include "platform/file_system.h"
#include "support/recorded.h"

#include <dlfcn.h>

#include <fstream>
#include <set>

namespace {

const std::string Definition =
    "#SIZE 8\r\n#CHARNAME \x83\x7c\x83\x81\r\n#ANIME 12345\r\n#CHARBMP cg.bmp\r\n#1 0 0 4 4\r\n#2 4 0 4 4\r\n"
    "#PATERN 01 02\r\n#PATERN 03 02\r\n#PATERN 17 02\r\n#PATERN 09 02\r\n";

class FormLoadingTest : public FormTest {
protected:
    std::set<int> enabledAnimes() const
    {
        std::set<int> animes;
        for (const AnimeButton& anime : animeButtons)
            if ((form.get()->*anime.button)->isEnabled()) animes.insert(anime.anime);
        return animes;
    }
    bool reloadsEnabled() const { return form->reload->isEnabled() && form->CGreload->isEnabled(); }
    // The window shows the definition with these animes' buttons enabled, and no error.
    void expectLoaded(const std::string& definition, const std::set<int>& animes)
    {
        EXPECT_TRUE(boxes->errors.empty());
        EXPECT_EQ(form->chr->chpfile, definition);
        EXPECT_EQ(enabledAnimes(), animes);
    }
    // The sample CG and the definition beside it.
    std::string writePackage(const std::string& name = "chara.chP")
    {
        writeSampleDefinition({});
        return writeFile(name, Definition);
    }
    // An archive the stand-in library opens (it holds the library's prefix), in a
    // folder without a definition, listing these entries.
    std::string writeArchive(const std::vector<ListedEntry>& entries)
    {
        std::filesystem::create_directories(folder / "archives");
        setEntries(entries.data(), entries.size());
        return writeFile("archives/pkg.lzh", "Unlha");
    }
    // The library stays loaded, so the component finds it with these entries.
    static void setEntries(const ListedEntry* entries, size_t count)
    {
        void* library = dlopen((executableFolder() + "/libunlha32.so").c_str(), RTLD_NOW | RTLD_NODELETE);
        ASSERT_NE(library, nullptr);
        reinterpret_cast<TestSetEntriesProc>(dlsym(library, "UnlhaTestSetEntries"))(entries, count);
        dlclose(library);
    }
    void TearDown() override
    {
        setEntries(nullptr, 0);
        FormTest::TearDown();
    }
    static std::string tempdir() { return unpackFolderPath(); }
};

TEST_F(FormLoadingTest, CommandLineLoadSetsTheControlsAndAFailedLoadDisablesThem)
{
    open({writePackage(), "ignored.chP"});
    ASSERT_TRUE(form->paramload);
    turns(1);
    expectLoaded((folder / "chara.chP").string(), {1, 3, 17});
    // A frame time longer than the box's typing limit is shown whole, from its start.
    EXPECT_EQ(form->Edit1->text(), "12345");
    EXPECT_EQ(form->Edit1->cursorPosition(), 0);
    EXPECT_EQ(form->Label1->text(), "ポメ");
    EXPECT_TRUE(reloadsEnabled());
    EXPECT_TRUE(form->buttonck->isEnabled());
    EXPECT_EQ(form->Label2->text(), "01-通常１");

    // A failed load leaves the load buttons disabled and the texts as they were.
    const std::string missing = (folder / "none.chP").string();
    EXPECT_FALSE(form->runGuarded([&] { form->LoadPackage(missing); }));
    EXPECT_EQ(boxes->details, std::vector<std::string>{"ファイル: " + missing + "\n理由: No such file or directory"});
    EXPECT_TRUE(enabledAnimes().empty());
    EXPECT_FALSE(form->reload->isEnabled() || form->CGreload->isEnabled() || form->buttonck->isEnabled());
    EXPECT_EQ(form->Edit1->text(), "12345");
    EXPECT_EQ(form->Label1->text(), "ポメ");
}

TEST_F(FormLoadingTest, ADropBesideADefinitionLoadsTheDroppedFileItself)
{
    const std::string definition = writePackage("Chara.CHP");
    open();
    drop({definition, (folder / "other.chP").string()});
    expectLoaded(definition, {1, 3, 17});
    EXPECT_TRUE(reloadsEnabled());
    EXPECT_FALSE(form->fromarchive);

    // Any other file of that folder goes to the parser as a definition.
    const std::string other = writeFile("notes.txt", "#PATERN 05 02\r\n");
    drop({other});
    expectLoaded(other, {5});

    // A file dragged onto an edit box loads as dropped on the window; the box takes no text.
    const QString before = form->pedit1->text();
    drop({definition}, form->pedit1);
    expectLoaded(definition, {1, 3, 17});
    EXPECT_EQ(form->pedit1->text(), before);
}

TEST_F(FormLoadingTest, ADroppedArchiveIsUnpackedLoadedAndItsFilesDeleted)
{
    const std::string cg = (writeSampleDefinition({}), fileText(folder / "cg.bmp"));
    const std::string archive = writeArchive({{"readme.txt", "hello", 5},
                                              {"sub\\old.chp", Definition.data(), Definition.size()},
                                              {"sub\\chara.chP", Definition.data(), Definition.size()},
                                              {"sub/cg.bmp", cg.data(), cg.size()}});
    open();
    drop({archive});
    expectLoaded(tempdir() + "sub/chara.chP", {1, 3, 17});
    EXPECT_EQ(form->ArchiveFile1->LastCommandLine,
              "x -+ -a0 -m1 -n1 -x1 -ga1  \"" + archive + "\" \"" + tempdir() + "\" ");
    EXPECT_TRUE(form->fromarchive);
    EXPECT_FALSE(form->reload->isEnabled() || form->CGreload->isEnabled());
    EXPECT_TRUE(form->buttonck->isEnabled());
    EXPECT_EQ(form->Label1->text(), "ポメ");
    // The unpacked files are gone; their folder stays.
    for (const char* name : {"readme.txt", "sub/old.chp", "sub/chara.chP", "sub/cg.bmp"})
        EXPECT_FALSE(std::filesystem::exists(tempdir() + name)) << name;
    EXPECT_TRUE(std::filesystem::is_directory(tempdir() + "sub"));
    turns(1);
    EXPECT_EQ(viewPixel(1, 1), sample::red);
}

TEST_F(FormLoadingTest, AnArchiveWithoutADefinitionOrWithoutItsLibraryChangesNothing)
{
    open({writePackage()});
    turns(1);
    form->fromarchive = true;
    drop({writeArchive({{"readme.txt", "hello", 5}, {"a.chpx", "x", 1}, {"chp.txt", "x", 1}})});
    expectLoaded((folder / "chara.chP").string(), {1, 3, 17});
    EXPECT_FALSE(form->fromarchive);
    EXPECT_FALSE(std::filesystem::exists(tempdir() + "readme.txt"));

    // An archive whose library is missing shows the component's error.
    drop({writeFile("archives/pkg.zip", "UnZip")});
    ASSERT_EQ(boxes->errors.size(), 1u);
    EXPECT_EQ(boxes->errors.front().back(), '.');
    EXPECT_EQ(form->chr->chpfile, (folder / "chara.chP").string());
    EXPECT_TRUE(reloadsEnabled());
}

TEST_F(FormLoadingTest, HostileListingsNeitherLoadNorDeleteAnythingOutsideTheUnpackFolder)
{
    writeSampleDefinition({});
    const std::filesystem::path outside = folder / "outside";
    std::filesystem::create_directories(outside);
    std::filesystem::create_directories(tempdir());
    std::filesystem::permissions(tempdir(), std::filesystem::perms::owner_all);
    for (const char* name : {"victim.txt", "def.chP"}) std::ofstream(outside / name) << "keep";
    std::ofstream(runtime / "parent.txt") << "keep";
    std::filesystem::create_directory_symlink(outside, tempdir() + "link");
    std::filesystem::create_symlink(outside / "victim.txt", tempdir() + "alias.txt");
    std::filesystem::create_directories(tempdir() + "folder");
    open();

    const std::string cg = fileText(folder / "cg.bmp");
    drop({writeArchive({{"../parent.txt", nullptr, 0},
                        {(outside / "victim.txt").c_str(), nullptr, 0},
                        {"link/victim.txt", nullptr, 0},
                        {"link\\def.chP", nullptr, 0},
                        {"alias.txt", nullptr, 0},
                        {"folder", nullptr, 0},
                        {"C:\\victim.txt", nullptr, 0},
                        {"ok.chP", Definition.data(), Definition.size()},
                        {"cg.bmp", cg.data(), cg.size()},
                        {"../evil.chp", nullptr, 0}})});
    expectLoaded(tempdir() + "ok.chP", {1, 3, 17});
    for (const auto& kept : {outside / "victim.txt", outside / "def.chP", runtime / "parent.txt"})
        EXPECT_TRUE(std::filesystem::exists(kept)) << kept;
    EXPECT_TRUE(std::filesystem::is_symlink(tempdir() + "link"));
    EXPECT_TRUE(std::filesystem::is_symlink(tempdir() + "alias.txt"));
    EXPECT_TRUE(std::filesystem::is_directory(tempdir() + "folder"));
    EXPECT_FALSE(std::filesystem::exists(tempdir() + "ok.chP"));

    // A definition reached through a link, or itself a link, is not read.
    for (const char* name : {"link/def.chP", "alias.chP"}) {
        SCOPED_TRACE(name);
        std::filesystem::remove(tempdir() + "alias.chP");
        std::filesystem::create_symlink(outside / "def.chP", tempdir() + "alias.chP");
        boxes->errors.clear();
        drop({writeArchive({{name, nullptr, 0}})});
        EXPECT_EQ(boxes->errors, std::vector<std::string>{"ファイル " + tempdir() + name + " は開けません."});
        EXPECT_EQ(form->chr->chpfile, tempdir() + "ok.chP");
        EXPECT_TRUE(std::filesystem::exists(outside / "def.chP"));
        EXPECT_TRUE(form->fromarchive);
    }
}

TEST_F(FormLoadingTest, AnUnpackFolderThatIsALinkIsRefused)
{
    writeSampleDefinition({});
    std::filesystem::create_directories(folder / "elsewhere");
    std::filesystem::create_directory_symlink(folder / "elsewhere", runtime / "pomelune-qptemp");
    open();
    drop({writeArchive({{"ok.chP", Definition.data(), Definition.size()}})});
    EXPECT_EQ(boxes->errors, std::vector<std::string>{"一時フォルダ " + tempdir() + " は使えません."});
    EXPECT_TRUE(std::filesystem::is_empty(folder / "elsewhere"));
    EXPECT_FALSE(form->fromarchive);
}

}  // namespace
