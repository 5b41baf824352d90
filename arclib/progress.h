// The progress the libraries report while unpacking: the state in the first
// parameter of the "wm_arcextract" message and this record behind the second. A
// nonzero reply to the message stops the unpacking.
#pragma once

#include "platform/archiver_contract.h"

#include <cstdint>

enum ProgressState : uintptr_t {
    progressBegin = 0,  // the archive is open, nothing written yet
    progressFile = 1,  // a file is about to be written
    progressEnd = 2,  // the unpacking is over
};

struct ExtractingInfo {
    uint32_t dwFileSize;  // the file's size, as its header states
    uint32_t dwWriteSize;  // bytes written so far in this unpacking
    char szSourceFileName[FNAME_MAX32 + 1];  // the archive
    char szDestFileName[FNAME_MAX32 + 1];  // the entry's path below the destination
};
