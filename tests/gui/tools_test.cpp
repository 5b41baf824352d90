// The author's tools and the reloads of the main window: the caret check, the
// pattern check, the clipboard lines, "セット", and the reload buttons.
#include "support/form_fixture.h"

#include <QClipboard>

namespace {

constexpr uint32_t red = 0xFF0000, blue = 0x0000FF;
constexpr size_t check = Tqpchr::CheckAnime;
constexpr int32_t untouched = 77;
using Texts = std::array<QString, 4>;
using Table = Tqpchr::FrameTable;

class ToolsTest : public FormTest {
protected:
    // A package whose CG is one colour, every caret at 0.
    void SetUp() override
    {
        FormTest::SetUp();
        open();
        saveCg(red);
        form->LoadPackage(
            writeFile("chara.chP", "#CHARBMP cg.bmp\n#1 0 0 8 8\n#PATERN 05 0102 0304\n#LAYER 05 0506 0708\n"));
        turns(1);
    }
    // A 16 x 16 CG of one colour.
    void saveCg(uint32_t color, uint16_t bits = 24)
    {
        auto bytes = makeBmp({16, 16, 24, {}, std::vector<uint32_t>(256, color)});
        setBmpBitCount(bytes, bits);
        writeFile("cg.bmp", std::string(bytes.begin(), bytes.end()));
    }
    // The four boxes hold the texts with their carets at 0, and the check rows a mark.
    void setBoxes(const Texts& texts)
    {
        for (size_t b = 0; b < 4; ++b) {
            edits()[b]->setText(texts[b]);
            edits()[b]->setCursorPosition(0);
        }
        turns(1);
        for (auto* table : tables()) (*table)[check].fill(untouched);
    }
    std::array<QLineEdit*, 4> edits() const { return {form->pedit1, form->pedit2, form->ledit1, form->ledit2}; }
    std::array<Table*, 4> tables() const { return {&chr().patsrc, &chr().patdst, &chr().laysrc, &chr().laydst}; }
    Tqpchr& chr() const { return *form->chr; }
    // The colour in the view and the number of errors shown after one more turn.
    void expectTurn(uint32_t color, size_t errors)
    {
        turns(1);
        EXPECT_EQ(viewPixel(10, 10), color);
        EXPECT_EQ(boxes->errors.size(), errors);
    }
};

TEST_F(ToolsTest, CaretCheckShowsTheEntryAtTheCaretOfAnyBoxFromAllFour)
{
    // rows: frames 0 to 255 of each check row.
    const struct {
        Texts texts;
        size_t box;
        int caret;
        std::array<int32_t, 4> rows;
        const char* label;
    } cases[] = {
        {{"0102", "0A0B", "0304", "0506"}, 2, 1, {1, 10, 3, 5}, "0/2"},
        {{"0102", "", "0304", "0506"}, 3, 2, {2, untouched, 4, 6}, "1/2"},
        {{"010203", "0A0B0", "0304", "05"}, 1, 5, {3, untouched, untouched, untouched}, "2/2"},  // end of text
        {{"01020", "", "0304050", "0A0B0C"}, 0, 4, {0, untouched, 5, 12}, "2/2"},  // odd lengths
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label + std::to_string(c.box));
        setBoxes(c.texts);
        edits()[c.box]->setCursorPosition(c.caret);
        turns(1);
        for (size_t t = 0; t < 4; ++t)
            EXPECT_EQ(std::ranges::count(tables()[t]->at(check), c.rows[t]), c.rows[t] == untouched ? 512 : 256) << t;
        const std::array<QLabel*, 4> labels{form->ppoint1, form->ppoint2, form->lpoint1, form->lpoint2};
        EXPECT_EQ(labels[c.box]->text(), c.label);
        EXPECT_EQ(chr().anime, 30);
        EXPECT_EQ(chr().frame, 1);
        EXPECT_TRUE(chr().layerused[check]);
        EXPECT_EQ(chr().patdstused[check], !c.texts[1].isEmpty());
        chr().frame = 7;
        turns(1);  // the caret stays: nothing restarts
        EXPECT_EQ(chr().frame, 7);
    }
    EXPECT_TRUE(boxes->errors.empty());
}

TEST_F(ToolsTest, CaretCheckErrorSkipsOneTurnsDrawingOnly)
{
    setBoxes({"0102", "0G", " 2", ""});
    form->DDDD1->BackColor = form->DDDD1->BackBuffer->MakeColor(255, 0x12, 0x34, 0x56);
    form->DDDD1->ClearBackBuffer();
    form->PresentView();
    form->pedit1->setCursorPosition(1);
    turns(1);
    EXPECT_EQ(boxes->errors, std::vector<std::string>{"'$0G' は数値ではありません."});
    EXPECT_EQ(viewPixel(10, 10), 0x123456u);
    EXPECT_EQ(chr().patsrc[check][255], 1);
    EXPECT_EQ(chr().patdst[check][0], untouched);
    EXPECT_EQ(chr().anime, 1);
    EXPECT_EQ(form->ppoint1->text(), "0/0");
    expectTurn(red, 1);  // not repeated until the caret moves
}

TEST_F(ToolsTest, PatternCheckPlaysTrimmedPairsOfAtMost255Entries)
{
    const QString long300 = QString("01").repeated(300);
    // frames: frames 1.. of each check row.
    const struct {
        Texts texts;
        std::array<std::vector<int32_t>, 4> frames;
        bool patdstused, layerused;
        const char* error;
    } cases[] = {
        {{" 2", "", "", ""}, {{{2}, {}, {}, {}}}, false, false, nullptr},
        {{"01020", "03", "", "07"}, {{{1, 2}, {3}, {}, {7}}}, true, false, nullptr},
        {{"", "", "0506", "0708"}, {{{}, {}, {5, 6}, {7, 8}}}, false, true, nullptr},
        {{"0102", "", "05G1", "07"}, {{{1, 2}, {}, {5}, {}}}, false, true, "'$G1' は数値ではありません."},
        {{long300, "", "", ""}, {{std::vector<int32_t>(255, 1), {}, {}, {}}}, false, false, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.texts[0].left(8).toStdString() + c.texts[2].toStdString());
        setBoxes(c.texts);
        boxes->errors.clear();
        chr().anime = 1;
        chr().returnanime = 0;
        form->buttonck->click();
        for (size_t t = 0; t < 4; ++t) {
            std::vector<int32_t> frames(c.frames[t]);
            frames.resize(255, -1);
            const auto& row = tables()[t]->at(check);
            EXPECT_EQ(std::vector<int32_t>(row.begin() + 1, row.begin() + 256), frames) << t;
            EXPECT_EQ(row[0], untouched);
            EXPECT_EQ(row[256], untouched);
        }
        EXPECT_EQ(chr().patdstused[check], c.patdstused);
        EXPECT_EQ(chr().layerused[check], c.layerused);
        EXPECT_EQ(boxes->errors, c.error ? std::vector<std::string>{c.error} : std::vector<std::string>{});
        EXPECT_EQ(chr().anime, c.error ? 1 : 30);
        EXPECT_EQ(chr().returnanime, c.error ? 0 : 1);
    }
}

TEST_F(ToolsTest, ClipboardGetsPatternAndLayerLines)
{
    const struct {
        const char* anime;
        Texts texts;
        const char* clipboard;
    } cases[] = {{"5", {"0102", "", "03", "04"}, "#Patern\t5\t0102\r\n#Layer\t5\t03\t04\r\n"},
                 {"x", {"01", "02", "", "04"}, "#Patern\tx\t01\t02\r\n"},
                 {"5", {"", "02", "", "04"}, "before"}};
    for (const auto& c : cases) {
        QGuiApplication::clipboard()->setText("before");
        setBoxes(c.texts);
        form->Edit3->setText(c.anime);
        form->clipper->click();
        EXPECT_EQ(QGuiApplication::clipboard()->text().toUtf8().toStdString(), c.clipboard);
    }
}

TEST_F(ToolsTest, SetFetchesTheListsOfAnimes1To29AskingOnlyOverText)
{
    const Texts own{"AA", "", "", ""}, anime5{"0102", "0304", "0506", "0708"};
    const struct {
        const char* anime;
        Texts before;
        bool answer;
        Texts after;
        size_t questions;
        int32_t frame;
    } cases[] = {
        {"0", own, true, own, 0, 9},    {"30", own, true, own, 0, 9},   {"ab", own, true, own, 0, 9},
        {"5", {}, false, anime5, 0, 1}, {"5", own, true, anime5, 1, 1}, {"5", own, false, own, 1, 1},
        {"07", own, true, {}, 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.anime);
        setBoxes(c.before);
        boxes->questions.clear();
        boxes->answer = c.answer;
        form->Edit3->setText(c.anime);
        chr().frame = 9;
        form->setbutton->click();
        EXPECT_EQ(boxes->questions, std::vector<std::string>(c.questions, "よろしいですか？"));
        for (size_t b = 0; b < 4; ++b) EXPECT_EQ(edits()[b]->text(), c.after[b]) << b;
        EXPECT_EQ(chr().frame, c.frame);
    }
}

TEST_F(ToolsTest, ReloadButtonsReadTheFilesAgain)
{
    saveCg(blue);
    chr().frame = 2;
    form->CGreload->click();
    EXPECT_EQ(chr().frame, 2);
    expectTurn(blue, 0);
    saveCg(red, 4);  // a depth the display cannot take: reported, the CG stays
    form->CGreload->click();
    EXPECT_EQ(boxes->errors, std::vector<std::string>{"ビットマップイメージが不正です."});
    EXPECT_EQ(boxes->details, std::vector<std::string>{"4 ビット/画素のビットマップは扱えません（8～32 ビット）"});
    expectTurn(blue, 1);
    // The definition's load says the same, with where it stopped.
    const std::string definition = chr().chpfile;
    EXPECT_FALSE(form->runGuarded([this] { form->reloadClick(); }));
    ASSERT_EQ(boxes->details.size(), 2u);
    EXPECT_EQ(boxes->details[1], "ファイル: " + definition + "\n行: " + std::to_string(chr().loadline) +
                                     "\n理由: 4 ビット/画素のビットマップは扱えません（8～32 ビット）");
    writeFile("chara.chP", "#CHARNAME Again\n#1 0 0 8 8\n#PATERN 03 01\n");
    form->runGuarded([this] { form->reloadClick(); });
    EXPECT_EQ(form->Label1->text(), "Again");
    EXPECT_TRUE(form->Button3->isEnabled());
    EXPECT_EQ(chr().anime, 1);
    expectTurn(blue, 2);  // no "#CHARBMP": the CG stays
}

}  // namespace
