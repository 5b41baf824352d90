// A stand-in for an archiver library whose entries carry the prefix LIBRARY_PREFIX
// (Unlha, UnZip, Cab, ...). Every entry records what it receives. The library opens
// an archive whose file holds the prefix's text anywhere, so one file can be made
// that several libraries accept, and lists two entries from a table. With an owner
// window set, a command first sends it one progress message and stops (result 1)
// when the reply asks it to.
#include "platform/archiver_contract.h"
#include "platform/window_messages.h"
#include "tests/archive/testlib/recorded.h"

#include <cstdio>
#include <fstream>
#include <iterator>

#define PASTE(prefix, name) prefix##name
#define ENTRY(prefix, name) PASTE(prefix, name)
#define TEXT(prefix) #prefix
#define STRING(prefix) TEXT(prefix)

namespace {

const char* const Entries[] = {"pomelune.chP", "cg/pomelune.bmp"};
const HARC OpenHandle = 0x5eed;

RecordedCommand lastCommand;
RecordedCalls calls;
size_t nextEntry = 0;

bool holdsPrefix(const char* archive)
{
    std::ifstream file(archive, std::ios::binary);
    const std::string text(std::istreambuf_iterator<char>(file), {});
    return text.find(STRING(LIBRARY_PREFIX)) != std::string::npos;
}

int nextListed(INDIVIDUALINFO* record)
{
    if (nextEntry == std::size(Entries)) return -1;
    std::snprintf(record->szFileName, sizeof record->szFileName, "%s", Entries[nextEntry++]);
    return 0;
}

}  // namespace

extern "C" {

int LIBRARY_PREFIX(HWND window, const char* commandLine, char* output, uint32_t size)
{
    lastCommand = {window, commandLine, output == nullptr, size};
    if (calls.ownerWindow && sendMessage(calls.ownerWindow, registerWindowMessage("wm_arcextract"), 1, 0) != 0) return 1;
    if (output) std::snprintf(output, size, "%s: done", STRING(LIBRARY_PREFIX));
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

int32_t ENTRY(LIBRARY_PREFIX, CheckArchive)(const char* archive, int32_t mode)
{
    calls.checkedArchive = archive;
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
}
