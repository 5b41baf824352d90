// A stand-in for an archiver library whose entries carry the prefix LIBRARY_PREFIX
// (CAB32.DLL, UNARJ32J.DLL, UNRAR32.DLL). Every entry records what it receives. The
// library opens an archive whose file begins with the prefix's text, and lists two
// entries from a table. Owner windows are recorded, never sent messages.
#include "platform/archiver_contract.h"
#include "tests/archive/testlib/recorded_calls.h"
#include "tests/archive/testlib/recorded_command.h"

#include <cstdio>
#include <cstring>
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

bool beginsWithPrefix(const char* archive)
{
    std::ifstream file(archive, std::ios::binary);
    const std::string head(std::istreambuf_iterator<char>(file), {});
    return head.starts_with(STRING(LIBRARY_PREFIX));
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
    if (output) std::snprintf(output, size, "%s: done", STRING(LIBRARY_PREFIX));
    return 0;
}

HARC ENTRY(LIBRARY_PREFIX, OpenArchive)(HWND window, const char* archive, uint32_t mode)
{
    calls.openWindow = window;
    calls.openArchive = archive;
    calls.openMode = mode;
    return beginsWithPrefix(archive) ? OpenHandle : 0;
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

int32_t ENTRY(LIBRARY_PREFIX, KillOwnerWindowEx)(HWND)
{
    calls.ownerWindow = nullptr;
    return 0;
}

const RecordedCommand* ENTRY(LIBRARY_PREFIX, TestLastCommand)() { return &lastCommand; }

RecordedCalls* ENTRY(LIBRARY_PREFIX, TestCalls)() { return &calls; }
}
