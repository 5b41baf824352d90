// The program's command line read into a mode and its settings.
#include "app/command_line.h"

#include "chr/qpchr.h"

#include <algorithm>
#include <charconv>
#include <optional>

namespace {

// An option's value: the text after "=" or else the next argument. An empty value or
// another option in its place counts as missing.
std::string takeValue(const std::string& name, const std::optional<std::string>& inlineValue,
                      const std::vector<std::string>& arguments, size_t& index)
{
    std::string value;
    if (inlineValue)
        value = *inlineValue;
    else if (index + 1 < arguments.size() && !arguments[index + 1].starts_with("--"))
        value = arguments[++index];
    if (value.empty()) throw CommandLineError(name + " needs a value");
    return value;
}

int32_t wholeNumber(const std::string& name, const std::string& text, int32_t low, int32_t high)
{
    int32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc{} || stop != end || value < low || value > high)
        throw CommandLineError(name + " needs a whole number from " + std::to_string(low) + " to " + std::to_string(high) +
                               ", not '" + text + "'");
    return value;
}

}  // namespace

CommandLine parseCommandLine(const std::vector<std::string>& arguments)
{
    // Every argument after "--" is a file, however it begins.
    const auto optionsEnd = std::find(arguments.begin(), arguments.end(), "--");
    // --help and --version win wherever they stand among the options.
    for (auto at = arguments.begin(); at != optionsEnd; ++at) {
        if (*at == "--help" || *at == "-h" || *at == "--version") {
            CommandLine line;
            line.mode = *at == "--version" ? RunMode::Version : RunMode::Help;
            return line;
        }
    }

    CommandLine line;
    std::optional<RunMode> mode;
    std::string modeWithoutFile;  // a mode followed by no file of its own
    std::string renderOption;     // the last option that only --render takes
    std::string playOption;       // the last option that --render and --export take
    std::string exportOption;     // the last option that only --export takes
    std::vector<std::string> files;

    const auto setMode = [&](RunMode chosen) {
        if (mode) throw CommandLineError("give only one of --info, --render, --export, --check and --open");
        mode = chosen;
    };
    const auto optionCount = static_cast<size_t>(optionsEnd - arguments.begin());
    for (size_t i = 0; i < optionCount; ++i) {
        const std::string& argument = arguments[i];
        if (!argument.starts_with("-") || argument == "-") {
            files.push_back(argument);
            continue;
        }
        const size_t equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        std::optional<std::string> inlineValue;
        if (equals != std::string::npos) inlineValue = argument.substr(equals + 1);
        const auto value = [&] { return takeValue(name, inlineValue, arguments, i); };

        if (name == "--info" || name == "--render" || name == "--export" || name == "--check" || name == "--open") {
            setMode(name == "--info"     ? RunMode::Info
                    : name == "--render" ? RunMode::Render
                    : name == "--export" ? RunMode::Export
                    : name == "--check"  ? RunMode::Check
                                         : RunMode::Open);
            // Followed by an option or "--", the file is the first argument that is
            // no option: --info -- -odd.chP.
            const bool fileLater = !inlineValue && i + 1 < arguments.size() && arguments[i + 1].starts_with("--");
            if (fileLater) {
                modeWithoutFile = name;
            } else {
                line.file = value();
                line.fileGiven = true;
            }
        } else if (name == "--anime") {
            line.render.anime = wholeNumber(name, value(), 0, Tqpchr::AnimeCount - 1);
            line.exporting.anime = *line.render.anime;
            playOption = name;
        } else if (name == "--frames") {
            line.render.frames = wholeNumber(name, value(), 1, maxRenderFrames);
            renderOption = name;
        } else if (name == "--out") {
            line.render.folder = value();
            line.exporting.out = line.render.folder;
            playOption = name;
        } else if (name == "--scale") {
            line.exporting.scale = wholeNumber(name, value(), 1, maxExportScale);
            exportOption = name;
        } else if (name == "--columns") {
            line.exporting.columns = wholeNumber(name, value(), 1, Tqpchr::FrameCount);
            exportOption = name;
        } else if (name == "--help" || name == "-h" || name == "--version") {
            throw CommandLineError(name + " takes no value");
        } else {
            throw CommandLineError("unknown option '" + argument + "'");
        }
    }
    if (optionsEnd != arguments.end()) files.insert(files.end(), optionsEnd + 1, arguments.end());

    line.mode = mode.value_or(RunMode::Window);
    if (!renderOption.empty() && line.mode != RunMode::Render) throw CommandLineError(renderOption + " goes with --render only");
    if (!playOption.empty() && line.mode != RunMode::Render && line.mode != RunMode::Export)
        throw CommandLineError(playOption + " goes with --render or --export only");
    if (!exportOption.empty() && line.mode != RunMode::Export) throw CommandLineError(exportOption + " goes with --export only");
    if (line.mode == RunMode::Export && line.exporting.out.empty()) throw CommandLineError("--export needs --out NAME.gif or NAME.png");
    if (!modeWithoutFile.empty()) {
        if (files.empty()) throw CommandLineError(modeWithoutFile + " needs a value");
        line.file = files.front();
        line.fileGiven = true;
        files.erase(files.begin());
    }
    if (line.mode == RunMode::Window) {
        // The window loads the first argument; further ones are ignored.
        if (!files.empty()) {
            line.file = files.front();
            line.fileGiven = true;
        }
    } else if (!files.empty()) {
        throw CommandLineError("unexpected argument '" + files.front() + "'");
    }
    return line;
}

std::string usageText()
{
    return "Usage: pomelune [FILE.chP]\n"
           "       pomelune --info FILE.chP\n"
           "       pomelune --render FILE.chP [--anime N] [--frames K] [--out DIR]\n"
           "       pomelune --export FILE.chP [--anime N] --out NAME.gif|NAME.png [--scale K] [--columns C]\n"
           "       pomelune --check FILE.chP\n"
           "       pomelune --open FILE\n"
           "       pomelune --help | --version\n"
           "\n"
           "  FILE.chP           without a mode: open the window and play the definition\n"
           "  --info FILE.chP    load the definition and print it as one JSON object\n"
           "  --render FILE.chP  load the definition and write one PNG image per frame:\n"
           "                     DIR/frame0001.png, frame0002.png, ...\n"
           "    --anime N        play anime N (0 to 30) instead of anime 1\n"
           "    --frames K       write K images (1 to 9999); default: the anime's length\n"
           "    --out DIR        the folder of the images, made when missing; default: .\n"
           "  --export FILE.chP  load the definition and write one anime (--anime, default 1)\n"
           "                     as an animated GIF, or as a PNG sheet of its frames with\n"
           "                     NAME.json beside it giving each frame's place and duration\n"
           "    --scale K        draw each pixel K x K (1 to 16); default: 1\n"
           "    --columns C      frames per row of the sheet (1 to 512); default: all\n"
           "  --check FILE.chP   list every problem of the definition, one per line, as\n"
           "                     FILE:LINE: error: ... or FILE:LINE: warning: ...;\n"
           "                     the exit status is 1 when there is an error\n"
           "  --open FILE        open the window and take FILE as dropped on it: a package\n"
           "                     archive (.lzh, .zip, ...) is unpacked and its definition\n"
           "                     loaded; a file beside a definition is loaded as one\n"
           "  --help, -h         show this text\n"
           "  --version          show the version\n"
           "  --                 every later argument is a file, even one starting with -\n";
}
