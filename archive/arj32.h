// The driver for .arj archives through UNARJ32J.DLL: the LHA driver's switches and
// commands, listing and extracting through Unarj.
#pragma once

#include "archive/lha32.h"

class TArj32 : public TLha32 {
public:
    TArj32();

    // The command x through Unarj, sent with no window whatever the caller gives.
    int Extract(HWND window, const std::string& archive, const TArchiverOptions& options, const std::string& folder,
                const std::vector<std::string>* files, std::string& output) override;
};

bool IsArjArchive(const std::string& archive);
