// The driver for .rar archives through UNRAR32.DLL, which only extracts.
#pragma once

#include "archive/library_driver.h"

class TRar32 : public LibraryDriver {
public:
    TRar32();

    // The command -x, or -e when the option x is 0 (no folders), through Unrar.
    int Extract(HWND window, const std::string& archive, const TArchiverOptions& options, const std::string& folder,
                const std::vector<std::string>* files, std::string& output) override;
};

bool IsRarArchive(const std::string& archive);
