// The program entry: reads the command line and runs its mode. The modes --info and
// --render run without a window and never create a QApplication.
#include "app/command_line.h"
#include "app/info_json.h"
#include "app/render_frames.h"
#include "app/software_display.h"

#include <exception>
#include <iostream>

namespace {

// Loads the definition on a software display and runs the mode on it; an error is
// shown on standard error and gives status 1.
int runWithoutWindow(const CommandLine& line)
{
    try {
        SoftwareDisplay display;
        Tqpchr chr(&display.dddd());
        chr.load(line.file);
        if (line.mode == RunMode::Info)
            std::cout << infoJson(chr) << '\n';
        else
            renderFrames(chr, display, line.render);
        return 0;
    } catch (const std::exception& error) {
        std::cerr << error.what() << '\n';
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
        std::cerr << "pomelune: " << error.what() << " (see pomelune --help)\n";
        return 2;
    }

    switch (line.mode) {
    case RunMode::Help:
        std::cout << usageText();
        return 0;
    case RunMode::Version:
        std::cout << "pomelune " POMELUNE_VERSION "\n";
        return 0;
    case RunMode::Info:
    case RunMode::Render:
        return runWithoutWindow(line);
    case RunMode::Window:
        break;
    }
    // The main window starts here: a QApplication and TForm1, loading line.file when
    // it is given. Until the window exists, a run without a mode is a usage error.
    std::cerr << usageText();
    return 2;
}
