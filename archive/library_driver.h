// What the drivers with one library of their own share (LHA, ARJ, CAB, RAR): the
// library bound once per process, the listing, check and owner-window entries under
// the library's prefix, the command entry named by the prefix alone, and the content
// test.
#pragma once

#include "archive/archiver.h"

#include <string>

// A driver unit's library, the prefix of its entries and the message LoadDLL raises
// when the library cannot be loaded. One object per driver unit, kept for the run.
struct DriverLibrary {
    ArchiverLibrary library;
    std::string prefix;
    std::string loadFailure;

    void load() { library.load(loadFailure); }
    // The entry prefix + name; the command entry is the prefix alone.
    template <typename Proc>
    Proc entry(const std::string& name = "")
    {
        return library.entry<Proc>((prefix + name).c_str());
    }
    // The same entry, or null when the library is not loaded or lacks it.
    template <typename Proc>
    Proc tryEntry(const std::string& name)
    {
        return library.tryEntry<Proc>((prefix + name).c_str());
    }
};

class LibraryDriver : public TArchiver {
public:
    void LoadDLL() override;
    void FreeDLL() override;
    // Opens the archive by its full path.
    HARC OpenArchive(HWND window, const std::string& archive, uint32_t mode) override;
    int FindFirst(HARC handle, INDIVIDUALINFO& record, const std::string& wildcard) override;
    int FindNext(HARC handle, INDIVIDUALINFO& record) override;
    int CloseArchive(HARC handle) override;
    // Checks with mode + extraMode.
    int CheckArchive(const std::string& archive, int32_t mode, int32_t extraMode) override;
    // Both keep the window in OwnerWindow (null after KillOwnerWindow) whatever the
    // library answers, and tell whether it answered nonzero.
    bool SetOwnerWindow(HWND window, void* callback) override;
    bool KillOwnerWindow(HWND window) override;
    std::optional<bool> trySetOwnerWindow(HWND window, void* callback) override;
    std::optional<bool> tryKillOwnerWindow(HWND window) override;

protected:
    // Loads the library, so the driver never exists without it.
    explicit LibraryDriver(DriverLibrary& library);
    // Runs the command line through this driver's library.
    int run(HWND window, const std::string& commandLine, std::string& output);
    // Runs the command line through the library given, loading it first.
    int run(DriverLibrary& library, HWND window, const std::string& commandLine, std::string& output);

private:
    DriverLibrary& library_;
};

// The content test: whether the library opens the archive, by its full path, with no
// window and the check mode (the handle is closed even when it is 0). No when the
// library or an entry is missing.
bool opensArchive(DriverLibrary& library, const std::string& archive);
