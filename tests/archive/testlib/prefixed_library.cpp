// A stand-in for an archiver library whose entries carry the prefix LIBRARY_PREFIX
// (Unlha, UnZip, Cab, ...). Every entry records what it receives. The library opens
// an archive whose file holds the prefix's text anywhere, so one file can be made
// that several libraries accept, and lists two entries from a table, or the entries
// a test sets; an extract command writes the set entries that have content. With an
// owner window set, a command first sends it one progress message and stops
// (result 1) when the reply asks it to.
#include "platform/archiver_contract.h"
#include "platform/window_messages.h"
#include "support/recorded.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <vector>

#define PASTE(prefix, name) prefix##name
#define ENTRY(prefix, name) PASTE(prefix, name)
#define TEXT(prefix) #prefix
#define STRING(prefix) TEXT(prefix)

namespace {

struct Entry {
    std::string name;
    std::optional<std::string> content;
};

const std::vector<Entry> OwnEntries = {{"pomelune.chP", std::nullopt}, {"cg/pomelune.bmp", std::nullopt}};
const HARC OpenHandle = 0x5eed;

RecordedCommand lastCommand;
RecordedCalls calls;
std::vector<Entry> entries = OwnEntries;
size_t nextEntry = 0;

bool holdsPrefix(const char* archive)
{
    std::ifstream file(archive, std::ios::binary);
    const std::string text(std::istreambuf_iterator<char>(file), {});
    return text.find(STRING(LIBRARY_PREFIX)) != std::string::npos;
}

int nextListed(INDIVIDUALINFO* record)
{
    if (nextEntry == entries.size()) return -1;
    std::snprintf(record->szFileName, sizeof record->szFileName, "%s", entries[nextEntry++].name.c_str());
    return 0;
}

// For an extract command, writes the entries with content under the command line's
// last quoted text, the destination folder, with "\" taken as a folder separator.
void extract(const std::string& commandLine)
{
    if (commandLine.rfind("e ", 0) != 0 && commandLine.rfind("x ", 0) != 0) return;
    const size_t close = commandLine.rfind('"');
    const size_t open = close == std::string::npos || close == 0 ? std::string::npos : commandLine.rfind('"', close - 1);
    if (open == std::string::npos) return;
    const std::filesystem::path folder = commandLine.substr(open + 1, close - open - 1);
    for (const Entry& entry : entries) {
        if (!entry.content) continue;
        std::string name = entry.name;
        std::replace(name.begin(), name.end(), '\\', '/');
        const std::filesystem::path path = folder / name;
        std::error_code error;
        std::filesystem::create_directories(path.parent_path(), error);
        std::ofstream(path, std::ios::binary) << *entry.content;
    }
}

}  // namespace

extern "C" {

int LIBRARY_PREFIX(HWND window, const char* commandLine, char* output, uint32_t size)
{
    lastCommand = {window, commandLine, output == nullptr, size};
    if (calls.ownerWindow && sendMessage(calls.ownerWindow, registerWindowMessage("wm_arcextract"), 1, 0) != 0) return 1;
    if (output) std::snprintf(output, size, "%s: done", STRING(LIBRARY_PREFIX));
    extract(commandLine);
    return 0;
}

HARC ENTRY(LIBRARY_PREFIX, OpenArchive)(HWND window, const char* archive, uint32_t mode)
{
    calls.openWindow = window;
    calls.openArchive = archive;
    calls.openMode = mode;
    return holdsPrefix(archive) ? OpenHandle : 0;
}

int ENTRY(LIBRARY_PREFIX, CloseArchive)(HARC handle)
{
    ++calls.closeCount;
    calls.closedHandle = handle;
    return 0;
}

int ENTRY(LIBRARY_PREFIX, FindFirst)(HARC handle, const char* wildcard, INDIVIDUALINFO* record)
{
    calls.wildcard = wildcard;
    nextEntry = 0;
    return handle == OpenHandle ? nextListed(record) : -1;
}

int ENTRY(LIBRARY_PREFIX, FindNext)(HARC handle, INDIVIDUALINFO* record)
{
    return handle == OpenHandle ? nextListed(record) : -1;
}

int32_t ENTRY(LIBRARY_PREFIX, CheckArchive)(const char*, int32_t mode)
{
    calls.checkMode = mode;
    return 1;
}

int32_t ENTRY(LIBRARY_PREFIX, SetOwnerWindowEx)(HWND window, void*)
{
    calls.ownerWindow = window;
    return 1;
}

// Answers 0, so a test sees the drivers clear OwnerWindow whatever the library says.
int32_t ENTRY(LIBRARY_PREFIX, KillOwnerWindowEx)(HWND)
{
    calls.ownerWindow = nullptr;
    return 0;
}

const RecordedCommand* ENTRY(LIBRARY_PREFIX, TestLastCommand)() { return &lastCommand; }

RecordedCalls* ENTRY(LIBRARY_PREFIX, TestCalls)() { return &calls; }

void ENTRY(LIBRARY_PREFIX, TestSetEntries)(const ListedEntry* listed, size_t count)
{
    entries = listed ? std::vector<Entry>() : OwnEntries;
    for (size_t i = 0; listed && i < count; ++i) {
        const ListedEntry& entry = listed[i];
        entries.push_back({entry.name, entry.content ? std::optional<std::string>(std::string(entry.content, entry.size))
                                                     : std::nullopt});
    }
}
}
