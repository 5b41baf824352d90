// What a test library's entries received, read by the tests through the library's
// entries <prefix>TestLastCommand (the command entry's last call) and <prefix>TestCalls
// (the other entries').
#pragma once

#include "platform/archiver_contract.h"

#include <cstdint>
#include <string>

struct RecordedCommand {
    HWND window = nullptr;
    std::string commandLine;
    bool outputNull = false;
    uint32_t size = 0;
};

struct RecordedCalls {
    HWND openWindow = nullptr;
    std::string openArchive;
    uint32_t openMode = 0;
    int closeCount = 0;
    HARC closedHandle = 0;
    std::string wildcard;
    std::string checkedArchive;
    int32_t checkMode = 0;
    HWND ownerWindow = nullptr;
};

extern "C" {
using TestLastCommandProc = const RecordedCommand* (*)();
using TestCallsProc = RecordedCalls* (*)();
}
