// The driver for .cab archives through CAB32.DLL. The archive is named by its full
// path in every command.
#pragma once

#include "archive/library_driver.h"

class TCab32 : public LibraryDriver {
public:
    TCab32();

    // The commands -x, -a and -f through Cab.
    int Extract(HWND window, const std::string& archive, const TArchiverOptions& options, const std::string& folder,
                const std::vector<std::string>* files, std::string& output) override;
    int Pack(HWND window, const std::string& archive, const TArchiverOptions& options, const std::string& folder,
             const std::vector<std::string>* files, std::string& output) override;
    // Never lists files.
    int MakeSFX(HWND window, const std::string& archive, const TArchiverOptions& options, const std::string& folder,
                std::string& output) override;

private:
    int runCab(HWND window, const std::string& word, const TArchiverOptions& options, const std::string& archive,
               const std::string& folder, const std::vector<std::string>* files, bool listInResponseFile,
               std::string& output);
};

bool IsCabArchive(const std::string& archive);
