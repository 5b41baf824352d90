// The program's command line read into a mode and its settings.
#include "app/command_line.h"

#include "chr/qpchr.h"

#include <algorithm>
#include <array>
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
        throw CommandLineError(name + " needs a whole number from " + std::to_string(low) + " to " +
                               std::to_string(high) + ", not '" + text + "'");
    return value;
}

// The options that choose a mode, each followed by its file.
struct ModeOption {
    const char* name;
    RunMode mode;
};

constexpr ModeOption modeOptions[] = {
    {"--info", RunMode::Info},   {"--render", RunMode::Render}, {"--export", RunMode::Export},
    {"--check", RunMode::Check}, {"--open", RunMode::Open},
};

// The kinds of setting by the modes they go with: a setting given in another mode is
// reported by the last one given of its kind, the kinds in this order.
struct SettingKind {
    std::array<RunMode, 2> modes;  // the same one twice for a single mode
    const char* misplaced;  // the message's end
};

constexpr SettingKind settingKinds[] = {
    {{RunMode::Render, RunMode::Render}, " goes with --render only"},
    {{RunMode::Render, RunMode::Export}, " goes with --render or --export only"},
    {{RunMode::Export, RunMode::Export}, " goes with --export only"},
};
constexpr size_t withRender = 0, withRenderOrExport = 1, withExport = 2;

// The options that take a setting, with the modes each goes with.
struct SettingOption {
    const char* name;
    size_t kind;  // in settingKinds
    void (*take)(CommandLine& line, const std::string& name, const std::string& value);
};

const SettingOption settingOptions[] = {
    {"--anime", withRenderOrExport,
     [](CommandLine& line, const std::string& name, const std::string& value) {
         line.render.anime = wholeNumber(name, value, 0, Tqpchr::AnimeCount - 1);
         line.exporting.anime = *line.render.anime;
     }},
    {"--frames", withRender,
     [](CommandLine& line, const std::string& name, const std::string& value) {
         line.render.frames = wholeNumber(name, value, 1, maxRenderFrames);
     }},
    {"--out", withRenderOrExport,
     [](CommandLine& line, const std::string&, const std::string& value) {
         line.render.folder = value;
         line.exporting.out = line.render.folder;
     }},
    {"--scale", withExport,
     [](CommandLine& line, const std::string& name, const std::string& value) {
         line.exporting.scale = wholeNumber(name, value, 1, maxExportScale);
     }},
    {"--columns", withExport,
     [](CommandLine& line, const std::string& name, const std::string& value) {
         line.exporting.columns = wholeNumber(name, value, 1, Tqpchr::FrameCount);
     }},
};

bool isHelpOrVersion(const std::string& name) { return name == "--help" || name == "-h" || name == "--version"; }

template <typename Option, size_t count>
const Option* find(const Option (&options)[count], const std::string& name)
{
    const auto at =
        std::find_if(std::begin(options), std::end(options), [&](const Option& option) { return name == option.name; });
    return at == std::end(options) ? nullptr : at;
}

}  // namespace

CommandLine parseCommandLine(const std::vector<std::string>& arguments)
{
    // Every argument after "--" is a file, however it begins.
    const auto optionsEnd = std::find(arguments.begin(), arguments.end(), "--");
    // --help and --version win wherever they stand among the options.
    const auto helpOrVersion = std::find_if(arguments.begin(), optionsEnd, isHelpOrVersion);
    if (helpOrVersion != optionsEnd) {
        CommandLine line;
        line.mode = *helpOrVersion == "--version" ? RunMode::Version : RunMode::Help;
        return line;
    }

    CommandLine line;
    std::optional<RunMode> mode;
    std::string modeWithoutFile;  // a mode followed by no file of its own
    std::array<std::string, std::size(settingKinds)> lastGiven;  // the last setting given of each kind
    std::vector<std::string> files;

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

        if (const ModeOption* chosen = find(modeOptions, name)) {
            if (mode) throw CommandLineError("give only one of --info, --render, --export, --check and --open");
            mode = chosen->mode;
            // Followed by an option or "--", the file is the first argument that is
            // no option: --info -- -odd.chP.
            const bool fileLater = !inlineValue && i + 1 < arguments.size() && arguments[i + 1].starts_with("--");
            if (fileLater) {
                modeWithoutFile = name;
            } else {
                line.file = value();
                line.fileGiven = true;
            }
        } else if (const SettingOption* setting = find(settingOptions, name)) {
            setting->take(line, name, value());
            lastGiven[setting->kind] = name;
        } else if (isHelpOrVersion(name)) {
            throw CommandLineError(name + " takes no value");
        } else {
            throw CommandLineError("unknown option '" + argument + "'");
        }
    }
    if (optionsEnd != arguments.end()) files.insert(files.end(), optionsEnd + 1, arguments.end());

    line.mode = mode.value_or(RunMode::Window);
    for (size_t kind = 0; kind < std::size(settingKinds); ++kind) {
        const SettingKind& allowed = settingKinds[kind];
        if (!lastGiven[kind].empty() && std::ranges::find(allowed.modes, line.mode) == allowed.modes.end())
            throw CommandLineError(lastGiven[kind] + allowed.misplaced);
    }
    if (line.mode == RunMode::Export && line.exporting.out.empty())
        throw CommandLineError("--export needs --out NAME.gif or NAME.png");
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
