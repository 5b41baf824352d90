// A stand-in for UNLHA32.DLL: its command entry records what it receives, writes a
// message into the output buffer and, with an owner window set, sends that window
// one progress message first and stops (result 1) when the reply asks it to.
// OpenArchive and every listing entry are left out on purpose.
#include "platform/archiver_contract.h"
#include "platform/window_messages.h"
#include "tests/archive/testlib/recorded_command.h"

#include <cstdio>

namespace {

RecordedCommand lastCommand;
HWND ownerWindow = nullptr;

}  // namespace

extern "C" {

int Unlha(HWND window, const char* commandLine, char* output, uint32_t size)
{
    lastCommand = {window, commandLine, output == nullptr, size};
    if (ownerWindow && sendMessage(ownerWindow, registerWindowMessage("wm_arcextract"), 1, 0) != 0) return 1;
    if (output) std::snprintf(output, size, "unlha: done");
    return 0;
}

int32_t UnlhaSetOwnerWindowEx(HWND window, void*)
{
    ownerWindow = window;
    return 1;
}

int32_t UnlhaKillOwnerWindowEx(HWND)
{
    ownerWindow = nullptr;
    return 1;
}

const RecordedCommand* UnlhaTestLastCommand() { return &lastCommand; }
}
