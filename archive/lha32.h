// The driver for .lzh archives through UNLHA32.DLL. Every option maps one-to-one onto
// the library's switch of the same letters, in a fixed order.
#pragma once

#include "archive/library_driver.h"

class TLha32 : public LibraryDriver {
public:
    TLha32();

    // The commands x, u, d, f and s through Unlha.
    int Extract(HWND window, const std::string& archive, const TArchiverOptions& options, const std::string& folder,
                const std::vector<std::string>* files, std::string& output) override;
    int Pack(HWND window, const std::string& archive, const TArchiverOptions& options, const std::string& folder,
             const std::vector<std::string>* files, std::string& output) override;
    int Remove(HWND window, const std::string& archive, const TArchiverOptions& options, const std::string& folder,
               const std::vector<std::string>* files, std::string& output) override;
    int Update(HWND window, const std::string& archive, const TArchiverOptions& options, const std::string& folder,
               const std::vector<std::string>* files, std::string& output) override;
    // Never lists files.
    int MakeSFX(HWND window, const std::string& archive, const TArchiverOptions& options, const std::string& folder,
                std::string& output) override;

protected:
    // A driver that lists, checks and extracts through its own library; its other
    // commands still go through Unlha and need UNLHA32.DLL.
    explicit TLha32(DriverLibrary& library);

    // The command word, the LHA switches and the common tail.
    std::string commandLine(const std::string& word, const TArchiverOptions& options, const std::string& archive,
                            const std::string& folder, const std::vector<std::string>* files,
                            bool listInResponseFile) const;

private:
    int runUnlha(HWND window, const std::string& commandLine, std::string& output);
};

bool IsLhaArchive(const std::string& archive);
