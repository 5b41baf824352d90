// The CG sheet under a real X server: opened from the menu 表示, a click on a cell types
// its pair into pedit1, and the caret check shows that cell in the view. Skips only when
// the X server cannot start.
#include "support/bmp_writer.h"
#include "support/program_on_x.h"

#include <algorithm>

namespace {

using namespace std::chrono_literals;

constexpr uint32_t blue = 0x0000FF, red = 0xFF0000, key = 0xFF00FF;
constexpr int32_t cellSize = 20;
constexpr Point viewCell{window::viewLeft + cellSize / 2, cellSize / 2};

class CgSheetOnXTest : public ProgramOnXTest {
protected:
    void SetUp() override
    {
        ProgramOnXTest::SetUp();
        if (const std::string why = startServer(); !why.empty()) GTEST_SKIP() << "no X server: " << why;
    }
    bool click(Point at) const
    {
        return xdotool({"mousemove", std::to_string(at.x), std::to_string(at.y), "click", "1"});
    }
    uint32_t viewPixel(Point client) const
    {
        return ScreenPixel().at(client.x + viewCell.x, client.y + viewCell.y).value_or(0);
    }
};

TEST_F(CgSheetOnXTest, AClickOnACellShowsItAtTheCaretCheck)
{
    // Cell 1, the blue background, and cell 2, red, over the key's bottom row.
    std::vector<uint32_t> pixels;
    for (int32_t y = 0; y <= cellSize; ++y)
        for (int32_t x = 0; x < 2 * cellSize; ++x) pixels.push_back(y == cellSize ? key : x < cellSize ? blue : red);
    scratch.write("package/cg.bmp", makeBmp({2 * cellSize, cellSize + 1, 24, {}, pixels}));
    startProgram({scratch
                      .write("package/chara.chP", "#CHARBMP cg.bmp\r\n#SIZE 20\r\n#1 0 0 20 20\r\n#2 20 0 20 20\r\n"
                                                  "#PATERN 01 01\r\n")
                      .string()});
    std::optional<Point> client;
    ASSERT_TRUE(waitUntil([&] { return (client = clientOrigin()) && viewPixel(*client) == blue; }, 15s))
        << "the view never showed the package; the program wrote:\n"
        << logText("pomelune.log");

    // 設定 opens with a click on the menu bar's left end and 表示 to its right on its
    // first item; the keys pass 一時停止 and the step items, disabled while playing.
    const auto main = windowGeometry(visibleWindows("^Pomelune!$").front()).value_or(Geometry{});
    ASSERT_TRUE(click({main.x + 8, (main.y + client->y) / 2}));
    ASSERT_TRUE(xdotool({"sleep", "0.5", "key", "Right", "sleep", "0.5", "key", "Down", "Down", "Return"}));
    std::vector<std::string> sheets;
    ASSERT_TRUE(waitUntil([&] { return !(sheets = visibleWindows("^CGシート — cg.bmp")).empty(); }, 5s))
        << "the CG sheet did not open";
    // Beside the main window, where the cell is found by its colour.
    ASSERT_TRUE(xdotool({"windowmove", sheets.front(), "520", "0"}));
    std::optional<Point> cell;
    ASSERT_TRUE(waitUntil(
        [&] {
            const auto sheet = windowGeometry(sheets.front());
            if (!sheet || sheet->x != 520) return false;
            // The last red pixel is the bottom right of the cell's inside, which its
            // outline and number leave.
            const auto shown = ScreenPixel().area(sheet->x, sheet->y, sheet->width, sheet->height);
            const auto last = std::find(shown.rbegin(), shown.rend(), red);
            if (last == shown.rend()) return false;
            const auto at = static_cast<int32_t>(shown.rend() - last - 1);
            cell = Point{sheet->x + at % sheet->width - cellSize / 2, sheet->y + at / sheet->width - cellSize / 2};
            return true;
        },
        5s))
        << "the CG sheet never showed cell 2";

    ASSERT_TRUE(click(*cell));
    EXPECT_TRUE(waitUntil([&] { return viewPixel(*client) == red; }, 5s)) << "the view never showed cell 2";
    EXPECT_TRUE(program->running());
}

}  // namespace
