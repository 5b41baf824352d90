// What a test library's entries received, read through its entries <prefix>TestLastCommand
// (the command entry's last call) and <prefix>TestCalls (the other entries').
#pragma once

#include "platform/archiver_contract.h"

#include <cstddef>
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
};

// A listed entry: its stored path and, when content is not null, the size bytes an
// extract command ("e" or "x") writes for it under the command's last quoted folder.
struct ListedEntry {
    const char* name;
    const char* content;
    size_t size;
};

extern "C" {
using TestLastCommandProc = const RecordedCommand* (*)();
using TestCallsProc = RecordedCalls* (*)();
// <prefix>TestSetEntries: the entries listed from now on (copied); null puts back its own two.
using TestSetEntriesProc = void (*)(const ListedEntry* entries, size_t count);
}
