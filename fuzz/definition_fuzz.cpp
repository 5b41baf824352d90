// Feeds arbitrary bytes to the definition parser as a .chP file, in a folder that
// also holds a small CG bitmap for "#CHARBMP" lines to find, to the definition check
// (which must name the error the load stops at, with its message and line, and no
// error when the load succeeds), and to the CG checks as a bitmap. Halting and logging
// are off, so failed platform calls return instead of ending the process.
#include "chr/cg_check.h"
#include "chr/lint.h"
#include "chr/qpchr.h"
#include "display/offscreen_display.h"
#include "platform/exception.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

namespace {

const uint8_t cg[] = {'B', 'M', 62, 0, 0, 0, 0, 0,  0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 2, 0, 0,
                      0,   1,   0,  0, 0, 1, 0, 24, 0, 0, 0,  0, 0, 0, 0,  0, 0, 0, 0, 0, 0,
                      0,   0,   0,  0, 0, 0, 0, 0,  0, 0, 0,  0, 1, 2, 3,  4, 5, 6, 0, 0};

struct Setup {
    Setup()
    {
        folder = std::filesystem::temp_directory_path() / ("pomelune-definition-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        std::ofstream(folder / "cg.bmp", std::ios::binary).write(reinterpret_cast<const char*>(cg), sizeof cg);
        setScreenPixelFormat(pixelFormatXrgb8888());
        dddd.setDebugOption({});
        if (!setUpOffscreenDisplay(dddd, 167, 271)) __builtin_trap();
        engine = std::make_unique<Tqpchr>(&dddd);
    }
    ~Setup()
    {
        engine.reset();
        std::filesystem::remove_all(folder);
    }
    std::filesystem::path folder;
    TDDDD dddd;
    std::unique_ptr<Tqpchr> engine;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Setup setup;
    const auto path = setup.folder / "chara.chP";
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    const LintReport report = lintDefinition(path.string());
    std::optional<std::string> raised;
    try {
        setup.engine->load(path.string());
    } catch (const Exception& error) {
        // Errors are the parser's answer to bad input.
        raised = error.message();
    }
    if (raised.has_value() != report.loadFailure.has_value()) __builtin_trap();
    if (raised && (*raised != report.loadFailure->message || setup.engine->loadline != report.loadFailure->line))
        __builtin_trap();
    for (size_t i = 1; i < report.findings.size(); ++i)
        if (report.findings[i].line < report.findings[i - 1].line) __builtin_trap();
    cgLoadProblem(path.string());
    cgFindings(path.string());
    // Play and draw a few frames of whatever was loaded.
    for (int i = 0; i < 4; ++i) {
        setup.engine->start(i == 0 ? 1 : setup.engine->anime);
        setup.engine->frame = wrappingAdd(setup.engine->frame, i);
        setup.engine->step();
        setup.engine->draw(*setup.dddd.BackBuffer, 0, 0);
    }
    return 0;
}
