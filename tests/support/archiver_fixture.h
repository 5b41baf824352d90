// What the archive tests share: window handles from numbers, what the test libraries
// received, and a scratch folder that is the current one.
#pragma once

#include "archive/archiver_error.h"
#include "platform/dynamic_library.h"
#include "platform/window_host.h"
#include "support/recorded.h"
#include "support/scoped_environment.h"
#include "support/scratch_folder.h"
#include "support/thrown.h"

#include <cstdint>
#include <filesystem>
#include <string>

inline HWND window(uintptr_t number) { return reinterpret_cast<HWND>(number); }

// What the test library of that Windows name received under the entry prefix, looked
// up afresh each time, since a driver's FreeDLL unloads its library.
inline void* testEntry(const char* library, const std::string& name)
{
    return findLibraryEntry(loadLibrary(library), name.c_str());
}
inline const RecordedCommand& lastCommand(const char* library, const std::string& prefix)
{
    return *reinterpret_cast<TestLastCommandProc>(testEntry(library, prefix + "TestLastCommand"))();
}
inline const RecordedCalls& calls(const char* library, const std::string& prefix)
{
    return *reinterpret_cast<TestCallsProc>(testEntry(library, prefix + "TestCalls"))();
}

// A scratch folder holding an empty folder "out", current while the object lives.
class CurrentScratchFolder : public ScratchFolder {
public:
    CurrentScratchFolder() { std::filesystem::create_directories(path() / "out"); }

private:
    ScopedCurrentFolder current_{path()};
};
