// The CG sheet: a click typing a cell's pair, a drag copying a cell line, the key's
// checkerboard, the frame's cells marked, and the tabs.
#include "support/form_fixture.h"

#include "app/cg_sheet.h"
#include "app/cg_sheet_view.h"

#include <QClipboard>
#include <QTest>

#include <set>

namespace {

constexpr uint32_t outline = 0x3090FF, patternMark = 0xFF2080, layerMark = 0xFF9900;

class CgSheetTest : public FormTest {
protected:
    CgSheet& openSheet(const std::vector<std::string>& lines, int zoom = 2)
    {
        open({writeSampleDefinition(lines)});
        turns(1);
        form->cgSheet->showAction->trigger();
        form->cgSheet->view->setZoom(zoom);
        return *form->cgSheet;
    }
    // The left button pressed at a place of the view and released at another.
    void pressAndRelease(QPoint press, QPoint release)
    {
        QMouseEvent down(QEvent::MouseButtonPress, press, press, Qt::LeftButton, Qt::LeftButton, {});
        QApplication::sendEvent(form->cgSheet->view, &down);
        QMouseEvent up(QEvent::MouseButtonRelease, release, release, Qt::LeftButton, Qt::NoButton, {});
        QApplication::sendEvent(form->cgSheet->view, &up);
    }
    uint32_t shown(int x, int y) { return form->cgSheet->view->grab().toImage().pixel(x, y) & 0xFFFFFFu; }
};

TEST_F(CgSheetTest, AClickTypesTheSmallestCellsPairIntoTheBoxLastFocused)
{
    // Cell 5 holds cells 2 and 3, cell 6 is cell 2 again.
    openSheet({"#5 4 0 8 4", "#6 4 0 4 4"});
    const std::array<QLineEdit*, 4> edits{form->pedit1, form->pedit2, form->ledit1, form->ledit2};
    edits[2]->setMaxLength(3);
    const struct {
        int focused;  // -1: none has had the focus yet
        const char* before;
        int caret;
        QPoint press, release;  // at zoom 2: the same CG pixel is a click
        const char* after;
        int caretAfter;  // at the start of the entry typed, where the caret check shows it
    } cases[] = {
        {-1, "", 0, {10, 2}, {11, 3}, "02", 0},  // equal areas: the lowest number
        {1, "0101", 2, {17, 6}, {17, 6}, "010301", 2},
        {2, "01", 2, {1, 1}, {1, 1}, "010", 2},  // the box's length limit
        {0, "01", 1, {12, 9}, {12, 9}, "01", 1},  // no cell
        {0, "01", 1, {2, 2}, {5, 2}, "01", 1},  // a drag
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.after);
        QLineEdit& edit = *edits[static_cast<size_t>(std::max(c.focused, 0))];
        edit.setText(c.before);
        edit.setCursorPosition(c.caret);
        if (QFocusEvent focus(QEvent::FocusIn); c.focused >= 0) QApplication::sendEvent(&edit, &focus);
        pressAndRelease(c.press, c.release);
        EXPECT_EQ(edit.text().toStdString(), c.after);
        EXPECT_EQ(edit.cursorPosition(), c.caretAfter);
    }
    // Clicks one after another add their entries in order, and the view shows the last.
    form->pedit1->setText("");
    QFocusEvent focus(QEvent::FocusIn);
    QApplication::sendEvent(form->pedit1, &focus);
    for (const auto& [at, shown] : {std::pair{QPoint(10, 2), 2}, std::pair{QPoint(17, 6), 3}}) {
        pressAndRelease(at, at);
        turns(1);
        EXPECT_EQ(Tqpchr::entry(form->chr->patsrc, form->chr->anime, form->chr->frame), shown);
    }
    EXPECT_EQ(form->pedit1->text().toStdString(), "0203");
}

TEST_F(CgSheetTest, ADragCopiesTheLineOfTheLowestFreeNumber)
{
    const struct {
        int lastTaken;  // cells 5 to it are defined
        bool hex;
        QPoint press, release;  // at zoom 2
        const char* clipboard;
        const char* status;
    } cases[] = {
        {9, false, {7, 5}, {2, 3}, "#10 1 1 3 2\r\n", "1 1 3 2"},
        {9, true, {29, 6}, {99, 99}, "#0A 14 3 2 2\r\n", "14 3 2 2"},  // clipped to the CG
        {99, false, {2, 3}, {7, 5}, "before", "1 1 3 2  空いているセル番号がありません"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.status);
        std::vector<std::string> lines{c.hex ? "#DATA 16" : ""};
        for (int n = 5; n <= c.lastTaken; ++n)
            lines.push_back(QString("#%1 0 0 1 1").arg(n, 2, c.hex ? 16 : 10, QChar('0')).toStdString());
        CgSheet& sheet = openSheet(lines);
        QGuiApplication::clipboard()->setText("before");
        pressAndRelease(c.press, c.release);
        EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), c.clipboard);
        EXPECT_EQ(sheet.status->text().toStdString(), c.status);
    }
}

TEST_F(CgSheetTest, KeyPixelsShowAsACheckerboard)
{
    CgSheet& sheet = openSheet({}, 4);
    ASSERT_EQ(sheet.view->size(), QSize(64, 20));

    std::set<uint32_t> keyRow;  // the bottom row, outside every cell
    for (int y = 16; y < 20; ++y)
        for (int x = 0; x < 64; ++x) keyRow.insert(shown(x, y));
    EXPECT_EQ(keyRow, (std::set<uint32_t>{0xFFFFFF, 0xD8D8D8}));
    EXPECT_EQ(shown(10, 13), sample::blue);

    // + and − change the zoom, from 1 to 8 only, and the sheet's size follows it.
    const struct {
        Qt::Key key;
        int presses, zoom;
    } keys[] = {{Qt::Key_Plus, 5, 8}, {Qt::Key_Minus, 9, 1}};
    for (const auto& k : keys) {
        SCOPED_TRACE(k.zoom);
        for (int i = 0; i < k.presses; ++i) QTest::keyClick(&sheet, k.key);
        EXPECT_EQ(sheet.view->zoom(), k.zoom);
        EXPECT_EQ(sheet.view->size(), QSize(16, 5) * k.zoom);
    }
}

TEST_F(CgSheetTest, OutlinesMarkTheCellsOfTheFrameOnShow)
{
    CgSheet& sheet = openSheet({"#PATERN 01 0203", "#LAYER 01 0404 0101"});
    const struct {
        int32_t anime, frame;
        std::array<uint32_t, 4> corners;  // the bottom-right pixel of cells 1 to 4
    } cases[] = {
        {1, 1, {outline, patternMark, outline, layerMark}},
        {1, 2, {outline, outline, patternMark, layerMark}},
        {2, 1, {outline, outline, outline, outline}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.frame);
        form->chr->anime = c.anime;
        form->chr->frame = c.frame;
        sheet.refresh();
        for (int cell = 0; cell < 4; ++cell) EXPECT_EQ(shown(8 * cell + 7, 7), c.corners[cell]) << "cell " << cell + 1;
    }
}

TEST_F(CgSheetTest, TabsShowTheOtherPicturesOrWhyTheyShowNone)
{
    const auto writeFace = [&](uint32_t colour) {
        const auto bytes = makeBmp({2, 1, 24, {}, {sample::red, colour}});
        writeFile("face.bmp", std::string(bytes.begin(), bytes.end()));
    };
    CgSheet* sheet = &openSheet({});
    EXPECT_EQ(sheet->facePicture->text().toStdString(), "なし");
    writeFace(sample::green);
    sheet = &openSheet({"#CHARFACE face.bmp", "#SELECTCG gone.bmp"});
    EXPECT_EQ(sheet->windowTitle().toStdString(), "CGシート — cg.bmp");
    EXPECT_EQ(sheet->selectCgPicture->text().toStdString(),
              "ファイル " + (folder / "gone.bmp").string() + " は開けません: No such file or directory");
    const auto faceColour = [&] { return sheet->facePicture->pixmap().toImage().pixel(1, 0) & 0xFFFFFFu; };
    EXPECT_EQ(faceColour(), sample::green);
    writeFace(sample::yellow);
    form->reloadClick();
    EXPECT_EQ(faceColour(), sample::yellow);
}

}  // namespace
