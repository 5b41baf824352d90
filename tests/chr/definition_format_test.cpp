// The load and the definition check over one table of definitions: the check names
// each problem with its line, and its first error is where the load stops, with the
// load's message.
#include "chr/lint.h"
#include "platform/exception.h"
#include "support/engine_fixture.h"
#include "support/thrown.h"

namespace {

using Severity = LintFinding::Severity;
using DefinitionFormatTest = EngineTest;

struct Expected {
    int32_t line;
    Severity severity;
    std::string message;  // "{folder}" stands for the test's folder
};
struct Case {
    const char* name;
    std::string lines;
    std::vector<Expected> findings;
};

constexpr auto W = Severity::Warning;
constexpr auto E = Severity::Error;

const Case cases[] = {
    // clang-format off
    {"clean", "#CHARBMP cg.bmp\n#01 0 0 64 48\n#PATERN 01 0100 0101\n#LAYER 01 01 01\n#LOOP 01 1\n", {}},
    {"odd list", "#PATERN 01 01020\n#01 0 0 1 1\n#02 0 0 1 1\n", {{1, W, "the pattern source list of anime 01 ends in an odd character '0', which is not read"}}},
    {"undefined cell", "#01 0 0 1 1\n#LAYER 02 0100 0A0B\n", {{2, W, "anime 02 names pattern 0A (10), which no line defines"}, {2, W, "anime 02 names pattern 0B (11), which no line defines"}}},
    {"cell outside the CG", "#CHARBMP cg.bmp\n#01 0 0 64 48\n#02 60 0 8 8\n#03 100 100 8 8\n#04 -1 0 8 8\n#PATERN 01 02 0304\n", {{3, W, "pattern 02 (2) reaches outside the CG of 64 x 48 pixels"}, {6, W, "the pattern lists of anime 01 differ in length (1 and 2 entries)"}}},
    {"destination without source", "#01 0 0 1 1\n#PATERN 01 0 0101\n", {{2, W, "the pattern source list of anime 01 ends in an odd character '0', which is not read"}, {2, W, "the pattern lists of anime 01: a destination list without a source list"}}},
    {"destination of another length", "#01 0 0 1 1\n#PATERN 01 010101 0101\n#PATERN 02 0101 / 01\n#PATERN 03 0101  01\n", {{2, W, "the pattern lists of anime 01 differ in length (3 and 2 entries)"}}},
    {"layer without destination", "#01 0 0 1 1\n#LAYER 05 01\n", {{2, W, "the layer lists of anime 05: a source list without a destination list, so its cells are not drawn"}}},
    {"loop past the end", "#01 0 0 1 1\n#PATERN 06 0101\n#LAYER 06 010101 010101\n#LOOP 06 3\n#LOOP 07 1\n#LOOP 01 0\n", {{4, W, "anime 06 goes on at frame 4 after its last frame, 3, so it stands still on an empty frame"}, {5, W, "anime 07 goes on at frame 2 but has no frames, so it stands still on an empty frame"}}},
    {"near-miss keywords", "#PATTERN 01 01\n#CHARBMPP cg.bmp\n#Layr 01 01 01\n#DATE 16\n#END\n", {{1, W, "'#PATTERN' is no keyword, so the line does nothing; '#PATERN' is meant?"}, {2, W, "'#CHARBMPP' is read as '#CHARBMP' followed by 'P'"}, {3, W, "'#Layr' is no keyword, so the line does nothing; '#LAYER' is meant?"}, {4, W, "'#DATE' is no keyword, so the line does nothing; '#DATA' is meant?"}}},
    {"UTF-8 with a byte order mark", "\xEF\xBB\xBF#CHARNAME ぽめ\n", {{1, W, "the file is UTF-8 with a byte order mark, not Shift-JIS: the mark stands before the '#' of line 1, which is therefore not read"}}},
    {"UTF-8", "#ANIME 80\n/ comment\n#CHARNAME ぽめるん\n#ARTIST 絵\n", {{3, W, "the file is UTF-8, not Shift-JIS: its Japanese names and file names are read as other characters"}}},
    {"Shift-JIS", "#CHARNAME \x83\x7c\x83\x81\n", {}},
    {"CG found ignoring case", "#CHARBMP CG.bmp\n", {{1, W, "the CG 'CG.bmp' is found only by ignoring letter case, as '{folder}/cg.bmp'; other systems may not find it"}}},
    {"CG found after decoding", "#CHARBMP \x82\xdb\x82\xdf.bmp\n", {{1, W, "the CG 'ぽめ.bmp' is found only after decoding its name from Shift-JIS, as '{folder}/ぽめ.bmp'; other systems may not find it"}}},
    {"cell defined twice", "#01 0 0 1 1\n#DATA16\n#01 0 0 2 2\n#1A 0 0 1 1\n#1a 0 0 1 1\n", {{3, W, "pattern 01 (1) is defined again; the definition on line 1 no longer counts"}, {5, W, "pattern 1A (26) is defined again; the definition on line 4 no longer counts"}}},
    // Errors: each line names the load's message; the first stops the load.
    {"frame time", "#CHARNAME a\n#ANIME fast\n#SIZE\n", {{2, E, "'fast' は数値ではありません"}, {3, E, "'' は数値ではありません"}}},
    {"anime number", "#LOOPX 01 3\n#LAYERS 01 0101\n", {{1, W, "'#LOOPX' is read as '#LOOP' followed by 'X'"}, {1, E, "'X' は数値ではありません"}, {2, W, "'#LAYERS' is read as '#LAYER' followed by 'S'"}, {2, E, "'S' は数値ではありません"}}},
    {"list pair", "#01 0 0 1 1\n#PATERN 01 010G\n", {{2, E, "'$0G' は数値ではありません"}}},
    {"hexadecimal pattern number", "#DATA 16\n#-- comment\n#  comment\n", {{2, E, "'$--' は数値ではありません"}}},
    {"pattern field", "#01 0 0 w 1\n#1 0 0 12\n", {{1, E, "'w' は数値ではありません"}, {2, E, "'' は数値ではありません"}}},
    {"no Shift-JIS character", "#SIZE \x81\x39\n", {{1, E, "'\357\277\2759' は数値ではありません"}}},  // shown as U+FFFD
    {"CG missing", "#CHARBMP none.bmp\n", {{1, E, "ファイル {folder}/none.bmp は開けません: No such file or directory"}}},
    {"CG no bitmap", "#CHARBMP text.bmp\n", {{1, E, "ビットマップイメージが不正です"}}},
    {"CG of 4 bits", "#CHARBMP four.bmp\n", {{1, E, "ビットマップイメージが不正です: 4 ビット/画素のビットマップは扱えません（8～32 ビット）"}}},
    // clang-format on
};

TEST_F(DefinitionFormatTest, TheCheckNamesEachProblemWithItsLineAndStopsWhereTheLoadStops)
{
    writeCg("cg.bmp", 64, 48, [](int32_t, int32_t) { return 0x102030u; });
    writeCg("ぽめ.bmp", 2, 2, [](int32_t, int32_t) { return 0u; });
    scratch.write("text.bmp", "hello");
    auto four = makeBmp({2, 2, 24, {}, {0, 0, 0, 0}});
    setBmpBitCount(four, 4);
    scratch.write("four.bmp", four);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = writeDefinition(c.lines);
        const LintReport report = lintDefinition(path);
        ASSERT_EQ(report.findings.size(), c.findings.size());
        for (size_t i = 0; i < c.findings.size(); ++i) {
            std::string message = c.findings[i].message;
            if (const size_t at = message.find("{folder}"); at != std::string::npos)
                message.replace(at, 8, folder.string());
            EXPECT_EQ(report.findings[i].line, c.findings[i].line);
            EXPECT_EQ(report.findings[i].severity, c.findings[i].severity);
            EXPECT_EQ(report.findings[i].message, message);
        }
        const std::string raised = thrownMessage<Exception>([&] { chr->load(path); });
        ASSERT_EQ(report.loadFailure.has_value(), !raised.empty()) << raised;
        if (report.loadFailure) {
            EXPECT_EQ(report.loadFailure->line, chr->loadline);
            EXPECT_EQ(report.loadFailure->message, raised);
        }
        EXPECT_EQ(report.hasError(),
                  std::ranges::any_of(c.findings, [](const Expected& e) { return e.severity == E; }));
    }
}

}  // namespace
