// The window 定義の問題: hidden until its item is chosen, its list brought up to date by
// loads, failed loads and automatic reloads, and empty for a package from an archive.
#include "support/form_fixture.h"

#include "app/definition_watch.h"
#include "app/problems_window.h"

#include <QListWidget>

#include <chrono>

namespace {

using ProblemsWindowTest = FormTest;

TEST_F(ProblemsWindowTest, ListsTheFindingsOfEachLoadFailedLoadAndAutomaticReload)
{
    ProblemsWindow& problems = *open().problemsWindow;
    EXPECT_FALSE(problems.isVisible());
    problems.showAction->trigger();
    EXPECT_TRUE(problems.isVisible());
    form->definitionWatch->autoreload->trigger();
    const std::string unnamed = "7: warning: anime 01 names pattern 05 (5), which no line defines";
    enum How { Load, Watch, WhileClosed, FromArchive };
    const struct {
        How how;
        std::vector<std::string> animeLines;  // empty: a definition whose CG is missing
        const char* title;
        std::vector<std::string> shown;
    } steps[] = {
        {Load, {"#PATERN 01 05"}, "定義の問題 (1)", {unnamed}},
        {Watch, {"#PATERN 01 02"}, "定義の問題 — 問題はありません", {"問題はありません"}},
        {Load,
         {},
         "定義の問題 (1)",
         {"1: error: ファイル " + (folder / "none.bmp").string() + " は開けません: No such file or directory"}},
        {Watch, {"#PATERN 01 05"}, "定義の問題 (1)", {unnamed}},
        {WhileClosed, {"#PATERN 01 02"}, "定義の問題 — 問題はありません", {"問題はありません"}},
        {FromArchive, {"#PATERN 01 05"}, "定義の問題", {}},
    };
    const auto hourAgo = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
    for (size_t i = 0; i < std::size(steps); ++i) {
        SCOPED_TRACE(testing::Message() << "step " << i);
        const std::string definition = steps[i].animeLines.empty() ? writeFile("chara.chP", "#CHARBMP none.bmp\r\n")
                                                                   : writeSampleDefinition(steps[i].animeLines);
        std::filesystem::last_write_time(definition, hourAgo + std::chrono::seconds(10 * i));
        form->fromarchive = steps[i].how == FromArchive;
        // A load while the window is closed is checked when it opens again.
        if (steps[i].how == WhileClosed) problems.hide();
        if (steps[i].how != Watch) form->runGuarded([&] { form->LoadPackage(definition); });
        turns(1);
        if (steps[i].how == WhileClosed) {
            EXPECT_EQ(problems.windowTitle().toStdString(), steps[i - 1].title);
            problems.showAction->trigger();
        }
        EXPECT_EQ(problems.windowTitle().toStdString(), steps[i].title);
        std::vector<std::string> shown;
        for (int row = 0; row < problems.findings->count(); ++row)
            shown.push_back(problems.findings->item(row)->text().toStdString());
        EXPECT_EQ(shown, steps[i].shown);
    }
}

}  // namespace
