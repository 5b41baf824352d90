// The program's command line: which mode to run and its settings.
#pragma once

#include "app/export_settings.h"
#include "app/render_settings.h"
#include "platform/exception.h"

#include <string>
#include <vector>

enum class RunMode { Window, Info, Render, Help, Version, Export, Check, Open };

struct CommandLine {
    RunMode mode = RunMode::Window;
    // The definition file: of --info, --render, --export or --check, or the window's package (may be empty);
    // with --open, the file the window takes as dropped on it.
    std::string file;
    bool fileGiven = false;  // false when no file was named, so an empty name is a name
    RenderSettings render;
    ExportSettings exporting;
};

// A command line that cannot be run; the message is one line without the program name.
class CommandLineError : public Exception {
public:
    using Exception::Exception;
};

// Reads the arguments after the program name. Options take their value as the next
// argument or after "=". Raises CommandLineError.
CommandLine parseCommandLine(const std::vector<std::string>& arguments);

// The short usage of every mode, ending with a line break.
std::string usageText();
