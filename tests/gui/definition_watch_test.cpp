// The definition's automatic reload: on each change of the file's stamp while the
// switch is on, for packages from a folder, keeping the running anime; a file caught
// half-written is reported once.
#include "support/form_fixture.h"

#include "app/definition_watch.h"

#include <chrono>

namespace {

using namespace std::chrono_literals;

class DefinitionWatchTest : public FormTest {
protected:
    void SetUp() override
    {
        FormTest::SetUp();
        open();
        save("First", {"#PATERN 01 02", "#PATERN 02 03"}, 0);
        form->LoadPackage(definition);
        form->Button2->click();
        turns(1);
    }
    // The sample definition named `name` with those anime lines, stamped `second`
    // seconds after an hour ago.
    void save(const std::string& name, std::vector<std::string> lines, int second)
    {
        lines.push_back("#CHARNAME " + name);
        writeSampleDefinition(lines);
        stamp(second);
    }
    void stamp(int second) { std::filesystem::last_write_time(definition, hourAgo + second * 1s); }

    const std::filesystem::file_time_type hourAgo = std::filesystem::file_time_type::clock::now() - 1h;
    const std::string definition = (folder / "chara.chP").string();
};

TEST_F(DefinitionWatchTest, ReloadsOnEachChangeOfTheStampKeepingTheAnime)
{
    const std::vector<std::string> both{"#PATERN 01 02", "#PATERN 02 03"}, first{"#PATERN 01 02"};
    enum Change { Save, Cut, Remove, Archive, FromFolder, Toggle, None };
    // name: what is saved; shown: the name the window shows after the next turn.
    const struct {
        Change change;
        const char* name;
        std::vector<std::string> lines;
        int second;
        const char* shown;
        int32_t anime;
        size_t errors;
    } steps[] = {
        {Save, "Early", both, 5, "First", 2, 0},  // switching on reloads nothing
        {Save, "Second", both, 10, "Second", 2, 0},
        {Cut, "Half", both, 20, "Second", 1, 1},  // caught half-written: reported once, a failed load
        {None, "", {}, 0, "Second", 1, 1},
        {Save, "Third", both, 30, "Third", 2, 1},  // taken up at the next save with the anime from before
        {Save, "Fourth", first, 40, "Fourth", 1, 1},  // anime 2 no longer used
        {Remove, "", {}, 0, "Fourth", 1, 2},
        {Archive, "Sixth", first, 60, "Fourth", 1, 2},  // packages from archives are left alone
        {FromFolder, "", {}, 0, "Sixth", 1, 2},  // the change is still there to be seen
        {Toggle, "Seventh", first, 70, "Sixth", 1, 2},  // switched off
    };
    form->definitionWatch->autoreload->trigger();
    for (const auto& step : steps) {
        SCOPED_TRACE(testing::Message() << "step " << &step - steps);
        if (!step.lines.empty()) save(step.name, step.lines, step.second);
        if (step.change == Cut) {
            // Cut inside the name of the CG: "#SIZE 8\r\n#CHARBMP cg"
            std::filesystem::resize_file(definition, 20);
            stamp(step.second);
        }
        if (step.change == Remove) std::filesystem::remove(definition);
        form->fromarchive = step.change == Archive;
        if (step.change == Toggle) form->definitionWatch->autoreload->trigger();
        turns(1);
        EXPECT_EQ(form->Label1->text().toStdString(), step.shown);
        EXPECT_EQ(form->chr->anime, step.anime);
        EXPECT_EQ(boxes->errors.size(), step.errors);
    }
    EXPECT_EQ(boxes->errors, (std::vector<std::string>{"ファイル " + (folder / "cg").string() + " は開けません.",
                                                       "ファイル " + definition + " は開けません."}));
}

}  // namespace
