// What a test library's command entry received last, read by the tests through the
// library's entry <prefix>TestLastCommand.
#pragma once

#include "platform/window_host.h"

#include <cstdint>
#include <string>

struct RecordedCommand {
    HWND window = nullptr;
    std::string commandLine;
    bool outputNull = false;
    uint32_t size = 0;
};

extern "C" {
using TestLastCommandProc = const RecordedCommand* (*)();
}
