// The program entry: reads the command line and runs its mode. The modes --info,
// --render, --export and --check run without a window and never create a QApplication.
#include "app/anime_export.h"
#include "app/check_definition.h"
#include "app/command_line.h"
#include "app/console.h"
#include "app/info_json.h"
#include "app/render_frames.h"
#include "app/window_main.h"

#include "chr/cg_check.h"
#include "display/offscreen_display.h"
#include "platform/exception.h"
#include "platform/text.h"

#include <cstring>
#include <exception>
#include <iostream>

namespace {

// Writes the text to standard output and closes it; a failed write gives status 1.
int finishOutput(std::string_view text)
{
    int error = writeOutput(text);
    if (const int closing = closeOutput(); error == 0) error = closing;
    if (error == 0) return 0;
    printMessage(std::string("標準出力に書き込めません: ") + std::strerror(error));
    return 1;
}

// Loads the definition on a software display and runs the mode on it; an error is
// shown on standard error and gives status 1. A CG the bitmap loader cannot take
// whole is reported; --render and --export then stop, --info goes on.
int runWithoutWindow(const CommandLine& line)
{
    try {
        OffscreenDisplay display;
        Tqpchr chr(&display.dddd());
        chr.load(line.file);
        const auto cgProblem = chr.cgfile.empty() ? std::nullopt : cgLoadProblem(chr.cgfile);
        if (cgProblem) printMessage("CG " + displayText(chr.cgfile) + " を読み込めません: " + *cgProblem);
        if (line.mode == RunMode::Info) return finishOutput(infoJson(chr) + "\n");
        if (cgProblem) return 1;
        if (line.mode == RunMode::Export) {
            exportAnime(chr, display, line.exporting);
            return finishOutput("");
        }
        RenderSettings settings = line.render;
        ProgressLine progress = ProgressLine::onStandardError();
        settings.progress = [&progress](int32_t done, int32_t count) { progress.show(done, count); };
        renderFrames(chr, display, settings);
        return finishOutput("");
    } catch (const Exception& error) {
        printMessage(error.messageWithReason());
        return 1;
    } catch (const std::exception& error) {
        printMessage(error.what());
        return 1;
    }
}

}  // namespace

int main(int argc, char** argv)
{
    CommandLine line;
    try {
        line = parseCommandLine({argv + 1, argv + argc});
    } catch (const CommandLineError& error) {
        printMessage(std::string(error.what()) + " (see pomelune --help)");
        return 2;
    }

    switch (line.mode) {
    case RunMode::Help: return finishOutput(usageText());
    case RunMode::Version: return finishOutput("pomelune " POMELUNE_VERSION "\n");
    case RunMode::Info:
    case RunMode::Render:
    case RunMode::Export: return runWithoutWindow(line);
    case RunMode::Check: {
        const CheckOutcome outcome = checkDefinition(line.file);
        const int written = finishOutput(outcome.text);
        return written != 0 ? written : outcome.status;
    }
    case RunMode::Window:
    case RunMode::Open: {
        const std::optional<std::string> file = line.fileGiven ? std::optional(line.file) : std::nullopt;
        return runWindow(argc, argv, file, line.mode == RunMode::Open ? WindowStart::Drop : WindowStart::Load);
    }
    }
    return 2;
}
