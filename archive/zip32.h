// The driver for .zip archives. It works with any of three libraries: UNZIP32.DLL
// for unpacking and listing, ZIP32J.DLL for packing and self-extracting archives,
// and LMZIP32.DLL standing in for either. Each entry is bound, once per process, to
// the first library offering it, in an order fixed per entry.
#pragma once

#include "archive/archiver.h"

class TZip32 : public TArchiver {
public:
    TZip32();

    // Loads each of the three libraries not yet loaded; raises only when none is.
    void LoadDLL() override;
    void FreeDLL() override;
    // Opens the archive by its full path.
    HARC OpenArchive(HWND window, const std::string& archive, uint32_t mode) override;
    int FindFirst(HARC handle, INDIVIDUALINFO& record, const std::string& wildcard) override;
    int FindNext(HARC handle, INDIVIDUALINFO& record) override;
    int CloseArchive(HARC handle) override;
    // -x through UnZip.
    int Extract(HWND window, const std::string& archive, const TArchiverOptions& options, const std::string& folder,
                const std::vector<std::string>* files, std::string& output) override;
    // Through Zip: with ZIP32J.DLL no command word and the pack switches; with only
    // LMZIP32.DLL -ru, the short switch set and no folder, after deleting the archive.
    int Pack(HWND window, const std::string& archive, const TArchiverOptions& options, const std::string& folder,
             const std::vector<std::string>* files, std::string& output) override;
    // -d through Zip; the folder is not used.
    int Remove(HWND window, const std::string& archive, const TArchiverOptions& options, const std::string& folder,
               const std::vector<std::string>* files, std::string& output) override;
    // -f through Zip.
    int Update(HWND window, const std::string& archive, const TArchiverOptions& options, const std::string& folder,
               const std::vector<std::string>* files, std::string& output) override;
    // Writes the stub (sfx16.dat, or sfx32gui.dat when gw is 1 or more) followed by the
    // archive into ARCHIVE.EXE, then runs "-A" on it through Zip. Needs ZIP32J.DLL.
    int MakeSFX(HWND window, const std::string& archive, const TArchiverOptions& options, const std::string& folder,
                std::string& output) override;
    // The extra mode is not used.
    int CheckArchive(const std::string& archive, int32_t mode, int32_t extraMode) override;
    // Both go to UNZIP32.DLL alone, keep the window in OwnerWindow (null after
    // KillOwnerWindow) and answer true.
    bool SetOwnerWindow(HWND window, void* callback) override;
    bool KillOwnerWindow(HWND window) override;
    std::optional<bool> trySetOwnerWindow(HWND window, void* callback) override;
    std::optional<bool> tryKillOwnerWindow(HWND window) override;

private:
    // The command word, the pack switches and the common tail, run through Zip.
    int runPackCommand(HWND window, const std::string& word, const TArchiverOptions& options,
                       const std::string& archive, const std::string& folder, const std::vector<std::string>* files,
                       bool listInResponseFile, std::string& output);
    int run(ArchiverCommandProc command, HWND window, const std::string& commandLine, std::string& output);
};

// The ZIP content test: whether a ZIP library opens the archive, by its full path,
// with no window and the check mode. No when no library or entry is there.
bool IsZipArchive(const std::string& archive);

// A file name as the ZIP libraries take it: every "\" becomes "/" and every "["
// becomes "[[]".
std::string ZipNameFilter(const std::string& name);
