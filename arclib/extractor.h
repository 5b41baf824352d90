// Unpacking an archive into a folder: entries chosen by the command's file list,
// stored folders kept or dropped, unsafe paths refused, links and devices not made,
// output limited, and progress reported before each file.
#pragma once

#include "arclib/archive_error.h"
#include "arclib/archive_format.h"
#include "arclib/command_line.h"
#include "arclib/progress.h"

#include <cstdint>
#include <functional>
#include <string>

// Called with each progress state; true asks the unpacking to stop.
using ProgressReport = std::function<bool(ProgressState state, const ExtractingInfo& info)>;

struct ExtractLimits {
    // The most bytes one unpacking writes in all.
    uint64_t totalBytes = uint64_t{1} << 30;
};

struct ExtractResult {
    ArcResult result = arcOk;
    std::string message;  // one line per refused or skipped entry, then a summary
};

ExtractResult extractArchive(const ArchiveFormat& format, const Command& command, const ProgressReport& report,
                             const ExtractLimits& limits = {});
