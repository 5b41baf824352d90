// What the ZIP and TAR driver tests share: the test libraries' records, looked up
// afresh each time (a driver's FreeDLL unloads its libraries), error capture and a
// scratch folder made the current folder, where stubs are found on the search path.
#pragma once

#include "tests/archive/archiver_error_capture.h"
#include "platform/dynamic_library.h"
#include "tests/archive/testlib/recorded_calls.h"
#include "tests/archive/testlib/recorded_command.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

// What the command entry named by the prefix received last, and what the other
// entries of that prefix received.
inline const RecordedCommand& lastCommand(const char* library, const std::string& prefix)
{
    const std::string name = prefix + "TestLastCommand";
    return *reinterpret_cast<TestLastCommandProc>(findLibraryEntry(loadLibrary(library), name.c_str()))();
}
inline RecordedCalls& calls(const char* library, const std::string& prefix)
{
    const std::string name = prefix + "TestCalls";
    return *reinterpret_cast<TestCallsProc>(findLibraryEntry(loadLibrary(library), name.c_str()))();
}

// A fresh folder holding an empty folder "out", current while the object lives.
class ScratchFolder {
public:
    ScratchFolder()
    {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_ / "out");
        std::filesystem::current_path(path_);
    }
    ~ScratchFolder()
    {
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(path_);
    }

    static void write(const std::string& name, const std::string& text)
    {
        std::ofstream(name, std::ios::binary) << text;
    }
    static std::string read(const std::string& name)
    {
        std::ifstream file(name, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), {}};
    }

private:
    std::filesystem::path previous_ = std::filesystem::current_path();
    std::filesystem::path path_ =
        std::filesystem::temp_directory_path() / ("pomelune-zip-tar-" + std::to_string(::getpid()));
};
