// What the archive tests share: window handles from numbers, the message of an
// EArchiver an action raises, what the test libraries received, and a scratch folder.
#pragma once

#include "archive/archiver_error.h"
#include "platform/dynamic_library.h"
#include "platform/window_host.h"
#include "tests/archive/testlib/recorded.h"

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

inline HWND window(uintptr_t number) { return reinterpret_cast<HWND>(number); }

// The message of the EArchiver the action raises; "" when it raises none.
inline std::string archiverError(const std::function<void()>& action)
{
    try {
        action();
    } catch (const EArchiver& error) {
        return error.message();
    }
    return "";
}

// What the test library of that Windows name received under the entry prefix. The
// entries are looked up afresh each time, since a driver's FreeDLL unloads its library.
template <typename Record, typename Proc>
Record& recorded(const char* library, const std::string& name)
{
    return *const_cast<Record*>(reinterpret_cast<Proc>(findLibraryEntry(loadLibrary(library), name.c_str()))());
}
inline const RecordedCommand& lastCommand(const char* library, const std::string& prefix)
{
    return recorded<RecordedCommand, TestLastCommandProc>(library, prefix + "TestLastCommand");
}
inline RecordedCalls& calls(const char* library, const std::string& prefix)
{
    return recorded<RecordedCalls, TestCallsProc>(library, prefix + "TestCalls");
}

// A fresh folder holding an empty folder "out", current while the object lives, so
// relative names and stubs in the current folder are found there.
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
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // Writes the file and returns its name.
    static std::string write(const std::string& name, const std::string& text)
    {
        std::ofstream(name, std::ios::binary) << text;
        return name;
    }
    static std::string read(const std::string& name)
    {
        std::ifstream file(name, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), {}};
    }

private:
    std::filesystem::path previous_ = std::filesystem::current_path();
    std::filesystem::path path_ = std::filesystem::temp_directory_path() / ("pomelune-archive-" + std::to_string(::getpid()));
};
