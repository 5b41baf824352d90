// LibraryDriver: listing, checking, owner windows and commands through one library,
// and the content test.
#include "archive/library_driver.h"

#include "platform/file_system.h"

LibraryDriver::LibraryDriver(DriverLibrary& library) : library_(library) { LibraryDriver::LoadDLL(); }

void LibraryDriver::LoadDLL() { library_.load(); }

void LibraryDriver::FreeDLL() { library_.library.free(); }

HARC LibraryDriver::OpenArchive(HWND window, const std::string& archive, uint32_t mode)
{
    return library_.entry<ArchiverOpenArchiveProc>("OpenArchive")(window, fullPath(archive).c_str(), mode);
}

int LibraryDriver::FindFirst(HARC handle, INDIVIDUALINFO& record, const std::string& wildcard)
{
    return library_.entry<ArchiverFindFirstProc>("FindFirst")(handle, wildcard.c_str(), &record);
}

int LibraryDriver::FindNext(HARC handle, INDIVIDUALINFO& record)
{
    return library_.entry<ArchiverFindNextProc>("FindNext")(handle, &record);
}

int LibraryDriver::CloseArchive(HARC handle)
{
    return library_.entry<ArchiverCloseArchiveProc>("CloseArchive")(handle);
}

int LibraryDriver::CheckArchive(const std::string& archive, int32_t mode, int32_t extraMode)
{
    return library_.entry<ArchiverCheckArchiveProc>("CheckArchive")(archive.c_str(), mode + extraMode);
}

bool LibraryDriver::SetOwnerWindow(HWND window, void* callback)
{
    const bool set = library_.entry<ArchiverSetOwnerWindowExProc>("SetOwnerWindowEx")(window, callback) != 0;
    OwnerWindow = window;
    return set;
}

bool LibraryDriver::KillOwnerWindow(HWND window)
{
    const bool killed = library_.entry<ArchiverKillOwnerWindowExProc>("KillOwnerWindowEx")(window) != 0;
    OwnerWindow = nullptr;
    return killed;
}

std::optional<bool> LibraryDriver::trySetOwnerWindow(HWND window, void* callback)
{
    if (!library_.tryEntry<ArchiverSetOwnerWindowExProc>("SetOwnerWindowEx")) return std::nullopt;
    return SetOwnerWindow(window, callback);
}

std::optional<bool> LibraryDriver::tryKillOwnerWindow(HWND window)
{
    if (!library_.tryEntry<ArchiverKillOwnerWindowExProc>("KillOwnerWindowEx")) return std::nullopt;
    return KillOwnerWindow(window);
}

int LibraryDriver::run(HWND window, const std::string& commandLine, std::string& output)
{
    return run(library_, window, commandLine, output);
}

int LibraryDriver::run(DriverLibrary& library, HWND window, const std::string& commandLine, std::string& output)
{
    library.load();
    return runCommand(library.library, library.prefix.c_str(), window, commandLine, output);
}

bool opensArchive(DriverLibrary& library, const std::string& archive)
{
    if (!library.library.tryLoad()) return false;
    const auto open = library.tryEntry<ArchiverOpenArchiveProc>("OpenArchive");
    if (!open) return false;
    const HARC handle = open(nullptr, fullPath(archive).c_str(), ARCHIVER_MODE_CHECK);
    const auto close = library.tryEntry<ArchiverCloseArchiveProc>("CloseArchive");
    if (!close) return false;
    close(handle);
    return handle != 0;
}
