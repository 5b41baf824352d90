// What a listing test library's entries other than the command received, read by
// the tests through the library's entry <prefix>TestCalls.
#pragma once

#include "platform/archiver_contract.h"

#include <cstdint>
#include <string>

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
using TestCallsProc = RecordedCalls* (*)();
}
