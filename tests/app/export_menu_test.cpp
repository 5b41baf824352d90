// The window's menu "書き出し": the running anime written at the speed box's frame time
// to the file the dialog answers, the window's anime left as it was, a cancelled dialog, no package.
#include "app/export_menu.h"
#include "platform/ddraw.h"
#include "support/form_fixture.h"
#include "support/gif_reader.h"

namespace {

using namespace sample;

// Answers every save dialog with answer; the questions go to asked.
struct AnsweringDialogs : SaveDialogs {
    AnsweringDialogs(std::string answer, std::vector<std::string>& asked) : answer(std::move(answer)), asked(asked) {}
    std::string askSaveName(const std::string& title, const std::string& suggestion, const std::string& filter) override
    {
        asked.push_back(title + " | " + suggestion + " | " + filter);
        return answer;
    }
    std::string answer;
    std::vector<std::string>& asked;
};

class ExportMenuTest : public FormTest {
protected:
    // Opens the window with the sample package playing anime 4 (two frames) at 50 ms.
    void SetUp() override
    {
        FormTest::SetUp();
        open();
        form->LoadPackage(writeSampleDefinition({"#PATERN 01 02", "#PATERN 04 0304"}));
        form->Edit1->setText("50");
        form->Button4Click();
        turns(2);
    }
    // The menu with dialogs that answer answer.
    ExportMenu& menu(const std::string& answer)
    {
        form->exportMenu->setDialogs(std::make_unique<AnsweringDialogs>(answer, asked));
        return *form->exportMenu;
    }

    std::vector<std::string> asked;
};

TEST_F(ExportMenuTest, TheRunningAnimeLeavingTheWindowsAnimeAndDisplayAsTheyWere)
{
    const int32_t frame = form->chr->frame;
    setScreenPixelFormat(pixelFormatOfDepth(16));
    menu((folder / "walk").string()).gifAction->trigger();
    const GifContents gif = readGif(folder / "walk.gif");  // the extension is added
    EXPECT_EQ(gif.delays, (std::vector<int>{5, 5}));  // the speed box's frame time
    EXPECT_EQ(gif.frames, (std::vector<std::vector<uint32_t>>{view(green), view(yellow)}));
    EXPECT_EQ(form->chr->anime, 4);
    EXPECT_EQ(form->chr->frame, frame);
    EXPECT_EQ(screenPixelFormat().dwRGBBitCount, 16u);
    setScreenPixelFormat(pixelFormatXrgb8888());
    // A package unpacked from an archive is deleted once it is loaded: the export
    // takes what the window holds.
    form->fromarchive = true;
    for (const char* name : {"chara.chP", "cg.bmp"}) std::filesystem::remove(folder / name);
    menu((folder / "walk.PNG").string()).sheetAction->trigger();
    EXPECT_EQ(asked, (std::vector<std::string>{"GIF として保存 | " + (folder / "chara-anime04.gif").string() +
                                                   " | GIF (*.gif)",
                                               "シートとして保存 | chara-anime04.png | PNG (*.png)"}));
    EXPECT_EQ(QImage(QString::fromStdString((folder / "walk.PNG").string())).size(), QSize(2 * viewWidth, viewHeight));
    EXPECT_TRUE(std::filesystem::exists(folder / "walk.json"));
    EXPECT_TRUE(boxes->errors.empty());
}

TEST_F(ExportMenuTest, ACancelledDialogWritesNothingAndErrorsGoToTheErrorBox)
{
    const auto before = std::distance(std::filesystem::directory_iterator(folder), {});
    menu("").gifAction->trigger();
    EXPECT_EQ(asked.size(), 1u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), before);
    EXPECT_TRUE(boxes->errors.empty());
    menu((folder / "missing" / "walk.gif").string()).gifAction->trigger();
    ASSERT_EQ(boxes->errors.size(), 1u);
    EXPECT_TRUE(
        boxes->errors[0].starts_with("ファイル " + (folder / "missing" / "walk.gif").string() + " に書き込めません: "));
    open();
    asked.clear();
    menu((folder / "walk.gif").string()).gifAction->trigger();
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(boxes->errors, (std::vector<std::string>{"書き出すキャラクターが読み込まれていません."}));
}

}  // namespace
