// What every archiver library does behind its prefixed entries; a library is one
// LibraryTable (its prefix, its format, its command syntax) and the entries that
// ARCLIB_ENTRIES defines from it.
#pragma once

#include "arclib/archive_format.h"
#include "arclib/command_line.h"
#include "platform/archiver_contract.h"

#include <cstdint>
#include <type_traits>

struct LibraryTable {
    const char* prefix;
    const ArchiveFormat& format;
    CommandSyntax syntax;
};

int runCommand(const LibraryTable& library, HWND window, const char* commandLine, char* output, uint32_t size);
HARC openArchive(const LibraryTable& library, const char* archive);
int closeArchive(HARC archive);
int findFirst(HARC archive, const char* wildcard, INDIVIDUALINFO* record);
int findNext(HARC archive, INDIVIDUALINFO* record);
int32_t checkArchive(const LibraryTable& library, const char* archive);
int32_t setOwnerWindow(HWND window);
int32_t killOwnerWindow(HWND window);

#define ARCLIB_EXPORT extern "C" __attribute__((visibility("default")))

// The entries of the library described by TABLE, named after PREFIX.
#define ARCLIB_ENTRIES(PREFIX, TABLE)                                                                                  \
    ARCLIB_EXPORT int PREFIX(HWND window, const char* commandLine, char* output, uint32_t size)                        \
    {                                                                                                                  \
        return runCommand(TABLE, window, commandLine, output, size);                                                   \
    }                                                                                                                  \
    ARCLIB_EXPORT HARC PREFIX##OpenArchive(HWND, const char* archive, uint32_t)                                        \
    {                                                                                                                  \
        return openArchive(TABLE, archive);                                                                            \
    }                                                                                                                  \
    ARCLIB_EXPORT int PREFIX##CloseArchive(HARC archive) { return closeArchive(archive); }                             \
    ARCLIB_EXPORT int PREFIX##FindFirst(HARC archive, const char* wildcard, INDIVIDUALINFO* record)                    \
    {                                                                                                                  \
        return findFirst(archive, wildcard, record);                                                                   \
    }                                                                                                                  \
    ARCLIB_EXPORT int PREFIX##FindNext(HARC archive, INDIVIDUALINFO* record) { return findNext(archive, record); }     \
    ARCLIB_EXPORT int32_t PREFIX##CheckArchive(const char* archive, int32_t) { return checkArchive(TABLE, archive); }  \
    ARCLIB_EXPORT int32_t PREFIX##SetOwnerWindowEx(HWND window, void*) { return setOwnerWindow(window); }              \
    ARCLIB_EXPORT int32_t PREFIX##KillOwnerWindowEx(HWND window) { return killOwnerWindow(window); }                   \
    static_assert(std::is_same_v<decltype(&PREFIX), ArchiverCommandProc> &&                                            \
                  std::is_same_v<decltype(&PREFIX##OpenArchive), ArchiverOpenArchiveProc> &&                           \
                  std::is_same_v<decltype(&PREFIX##FindFirst), ArchiverFindFirstProc> &&                               \
                  std::is_same_v<decltype(&PREFIX##CheckArchive), ArchiverCheckArchiveProc>)
