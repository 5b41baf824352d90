// The calling interface every archiver library offers, shared by the archive
// component and the libraries themselves. With P a library's prefix ("Unlha",
// "UnZip", "Cab", ...) the entries are P, POpenArchive, PCloseArchive, PFindFirst,
// PFindNext, PCheckArchive, PSetOwnerWindowEx, PKillOwnerWindowEx and, for the tar
// library only, TarGetArchiveType. Strings are narrow code-page strings.
#pragma once

#include "platform/window_host.h"

#include <cstddef>
#include <cstdint>

// A listing handle; 0 means failure.
using HARC = uintptr_t;

inline constexpr size_t FNAME_MAX32 = 512;

// The libraries' entry record. Only the stored entry path is read; it lies 26 bytes
// into the record and holds at most 513 bytes with its terminating zero.
struct INDIVIDUALINFO {
    uint32_t dwOriginalSize;
    uint32_t dwCompressedSize;
    uint32_t dwCRC;
    uint32_t uFlag;
    uint32_t uOSType;
    uint16_t wRatio;
    uint16_t wDate;
    uint16_t wTime;
    char szFileName[FNAME_MAX32 + 1];
    char dummy1[3];
    char szAttribute[8];
    char szMode[8];
};
static_assert(offsetof(INDIVIDUALINFO, szFileName) == 26);

// Modes: the content tests turn the library's messages off and ignore its settings
// file; the listing the application makes passes 0.
inline constexpr int32_t ARCHIVER_MODE_CHECK = 0x800002;
inline constexpr int32_t ARCHIVER_MODE_LIST = 0;

// The entry points, as extern "C" functions of a library.
extern "C" {
// Runs one command line; 0 is success. output is null when size is 0.
using ArchiverCommandProc = int (*)(HWND window, const char* commandLine, char* output, uint32_t size);
using ArchiverOpenArchiveProc = HARC (*)(HWND window, const char* archive, uint32_t mode);
using ArchiverCloseArchiveProc = int (*)(HARC archive);
// 0 when an entry was found and written into record; anything else ends the listing.
using ArchiverFindFirstProc = int (*)(HARC archive, const char* wildcard, INDIVIDUALINFO* record);
using ArchiverFindNextProc = int (*)(HARC archive, INDIVIDUALINFO* record);
using ArchiverCheckArchiveProc = int32_t (*)(const char* archive, int32_t mode);
// callback is always null: progress comes as the registered message "wm_arcextract".
using ArchiverSetOwnerWindowExProc = int32_t (*)(HWND window, void* callback);
using ArchiverKillOwnerWindowExProc = int32_t (*)(HWND window);
// 1 tar; 2 to 5 gzip or compress family; 6 or 7 bzip2 family; anything else no tar.
using TarGetArchiveTypeProc = int (*)(const char* archive);
}
