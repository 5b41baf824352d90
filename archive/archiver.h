// The base of the format drivers, the library binding they share and the command
// tail most of them end their command lines with.
#pragma once

#include "archive/archiver_options.h"
#include "archive/cmd_opt.h"
#include "platform/archiver_contract.h"
#include "platform/dynamic_library.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

// One archiver library, bound once per process and shared by every driver object
// of its format: loaded on first need and kept, each entry looked up by name on its
// first call and kept. One object per library file.
class ArchiverLibrary {
public:
    explicit ArchiverLibrary(std::string windowsName) : windowsName_(std::move(windowsName)) {}
    ArchiverLibrary(const ArchiverLibrary&) = delete;
    ArchiverLibrary& operator=(const ArchiverLibrary&) = delete;

    bool loaded() const { return library_ != nullptr; }
    // Loads the library unless it is loaded; tells whether it is loaded.
    bool tryLoad();
    // Loads the library unless it is loaded; raises EArchiver with the driver's
    // message when it cannot be loaded.
    void load(const std::string& failureMessage);
    // The entry of that name; null when the library is not loaded or lacks it.
    template <typename Proc>
    Proc tryEntry(const char* name)
    {
        return reinterpret_cast<Proc>(tryFindEntry(name));
    }
    // The entry of that name; raises EArchiver when the library lacks it.
    template <typename Proc>
    Proc entry(const char* name)
    {
        return reinterpret_cast<Proc>(findEntry(name));
    }
    // Forgets every kept entry and unloads the library.
    void free();

private:
    void* tryFindEntry(const char* name);
    void* findEntry(const char* name);

    std::string windowsName_;
    LoadedLibrary* library_ = nullptr;
    std::map<std::string, void*, std::less<>> entries_;
};

// A format driver. A derived driver calls its LoadDLL when it is created, so it
// never exists without its library; destroying it does not unload the library.
// Every error is raised as EArchiver.
class TArchiver {
public:
    virtual ~TArchiver() = default;

    virtual void LoadDLL();
    virtual void FreeDLL();
    virtual HARC OpenArchive(HWND window, const std::string& archive, uint32_t mode);
    virtual int FindFirst(HARC handle, INDIVIDUALINFO& record, const std::string& wildcard);
    virtual int FindNext(HARC handle, INDIVIDUALINFO& record);
    virtual int CloseArchive(HARC handle);
    // files is null when none is given; output is the caller's buffer for the
    // library's message text. A file list goes into the response file ResFileName
    // when the options' ResFileUsage holds the operation (ruOnUnpack for Extract,
    // ruOnPack, ruOnRemoveItem, ruOnUpdate for the next three).
    virtual int Extract(HWND window, const std::string& archive, const TArchiverOptions& options,
                        const std::string& folder, const std::vector<std::string>* files, std::string& output) = 0;
    // The folder is the base folder.
    virtual int Pack(HWND window, const std::string& archive, const TArchiverOptions& options,
                     const std::string& folder, const std::vector<std::string>* files, std::string& output);
    // The folder is not used.
    virtual int Remove(HWND window, const std::string& archive, const TArchiverOptions& options,
                       const std::string& folder, const std::vector<std::string>* files, std::string& output);
    virtual int Update(HWND window, const std::string& archive, const TArchiverOptions& options,
                       const std::string& folder, const std::vector<std::string>* files, std::string& output);
    virtual int MakeSFX(HWND window, const std::string& archive, const TArchiverOptions& options,
                        const std::string& folder, std::string& output);
    virtual int CheckArchive(const std::string& archive, int32_t mode, int32_t extraMode);
    virtual bool SetOwnerWindow(HWND window, void* callback);
    virtual bool KillOwnerWindow(HWND window);
    // SetOwnerWindow and KillOwnerWindow when the library offers their entry; empty,
    // with nothing done, where they would raise for want of it.
    virtual std::optional<bool> trySetOwnerWindow(HWND window, void* callback)
    {
        return SetOwnerWindow(window, callback);
    }
    virtual std::optional<bool> tryKillOwnerWindow(HWND window) { return KillOwnerWindow(window); }

    // The command line most recently built, set just before the library is called.
    std::string CommandLine;
    // The window handed to the library by SetOwnerWindow; null after KillOwnerWindow.
    HWND OwnerWindow = nullptr;

protected:
    // Sets CommandLine, then calls the library's command entry of that name with the
    // window, CommandLine and the output buffer (null when its length is 0).
    int runCommand(ArchiverLibrary& library, const char* entryName, HWND window, const std::string& commandLine,
                   std::string& output);
    // Calls a command entry with CommandLine as runCommand does.
    int callCommand(ArchiverCommandProc command, HWND window, std::string& output) const;
};

// The tail of the LHA, ZIP, CAB, ARJ and RAR command lines: UserOptions, the quoted
// archive, the folder, the file list when one is given (in the response file
// ResFileName when listInResponseFile is true and ResFileName is given) and
// UserFileList.
void addCommandTail(TCmdOpt& line, const TArchiverOptions& options, const std::string& archive,
                    const std::string& folder, const std::vector<std::string>* files, bool listInResponseFile);

// The file list of a command tail when one is given: in the response file
// ResFileName when listInResponseFile is true and ResFileName is given, else on the line.
void addFileListOrResponseFile(TCmdOpt& line, const TArchiverOptions& options, const std::vector<std::string>* files,
                               bool listInResponseFile);
