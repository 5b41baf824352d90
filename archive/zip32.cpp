// TZip32: each entry bound to the first of the three ZIP libraries offering it, and
// the ZIP command lines.
#include "archive/zip32.h"

#include "archive/archiver_error.h"
#include "archive/self_extractor.h"
#include "platform/file_system.h"

#include <array>
#include <initializer_list>
#include <map>

namespace {

const char* const PackingNeedsLibrary = "ZIP 形式書庫の作成には ZIP32J.DLL または LMZIP32.DLL が必要です。";
const char* const UnpackingNeedsLibrary = "ZIP 形式書庫の解凍には UNZIP32.DLL または LMZIP32.DLL が必要です。";
// The owner-window entries, offered by UNZIP32.DLL alone.
const char* const SetOwnerWindowEntry = "UnZipSetOwnerWindowEx";
const char* const KillOwnerWindowEntry = "UnZipKillOwnerWindowEx";

// The three libraries and the entries bound so far, by their names; once per process.
struct ZipLibraries {
    ArchiverLibrary unzip32{"UNZIP32.DLL"};
    ArchiverLibrary zip32j{"ZIP32J.DLL"};
    ArchiverLibrary lmzip32{"LMZIP32.DLL"};
    std::map<std::string, void*, std::less<>> entries;

    std::array<ArchiverLibrary*, 3> all() { return {&unzip32, &zip32j, &lmzip32}; }
};

ZipLibraries& zip()
{
    static ZipLibraries libraries;
    return libraries;
}

// The entry's name in the library: LMZIP32.DLL spells "UnZip" with a lower-case "z".
std::string spelling(const ArchiverLibrary& library, std::string name)
{
    if (&library == &zip().lmzip32 && name.size() > 2 && name[2] == 'Z') name[2] = 'z';
    return name;
}

// The entry from the first library, in the order given, that is loaded and offers
// it; kept once bound. Null when none offers it.
template <typename Proc>
Proc tryBindEntry(const char* name, std::initializer_list<ArchiverLibrary*> order)
{
    auto& kept = zip().entries;
    if (const auto found = kept.find(name); found != kept.end()) return reinterpret_cast<Proc>(found->second);
    for (ArchiverLibrary* library : order) {
        if (void* entry = library->tryEntry<void*>(spelling(*library, name).c_str())) {
            kept.emplace(name, entry);
            return reinterpret_cast<Proc>(entry);
        }
    }
    return nullptr;
}

EArchiver missingEntry(const char* name) { return EArchiver(std::string(name) + " のエントリが見つかりません。"); }

// The same entry; raises EArchiver when no library offers it.
template <typename Proc>
Proc bindEntry(const char* name, std::initializer_list<ArchiverLibrary*> order)
{
    if (const auto entry = tryBindEntry<Proc>(name, order)) return entry;
    throw missingEntry(name);
}

ArchiverCommandProc zipCommand()
{
    ZipLibraries& libraries = zip();
    if (!libraries.zip32j.loaded() && !libraries.lmzip32.loaded()) throw EArchiver(PackingNeedsLibrary);
    return bindEntry<ArchiverCommandProc>("Zip", {&libraries.zip32j, &libraries.lmzip32});
}

ArchiverCommandProc unzipCommand()
{
    ZipLibraries& libraries = zip();
    if (!libraries.unzip32.loaded() && !libraries.lmzip32.loaded()) throw EArchiver(UnpackingNeedsLibrary);
    return bindEntry<ArchiverCommandProc>("UnZip", {&libraries.unzip32, &libraries.lmzip32});
}

// The listing entries come from LMZIP32.DLL first, then ZIP32J.DLL, then UNZIP32.DLL.
template <typename Proc>
Proc tryListingEntry(const char* name)
{
    ZipLibraries& libraries = zip();
    return tryBindEntry<Proc>(name, {&libraries.lmzip32, &libraries.zip32j, &libraries.unzip32});
}

template <typename Proc>
Proc listingEntry(const char* name)
{
    if (const auto entry = tryListingEntry<Proc>(name)) return entry;
    throw missingEntry(name);
}

// Loads each of the three libraries not yet loaded; tells whether any is loaded.
bool loadAny()
{
    bool loaded = false;
    for (ArchiverLibrary* library : zip().all()) loaded = library->tryLoad() || loaded;
    return loaded;
}

void addPackSwitches(TCmdOpt& line, const TArchiverOptions& o)
{
    if (o.a > 0) line.Add("-S");
    if (o.a < 2) line.Add("-D");
    if (o.l > 0) line.Add("-v");
    if (o.n > 0) line.Add("-q");
    if (o.r > 0) line.Add("-r");
    if (o.n > 0) line.Add("-o");
    if (o.u > 0) line.Add("-u");
    if (o.x == 0) line.Add("-j");
    if (o.jc > 0) line.Add("-FF");
    if (o.ji > 0) line.Add("-k");
    line.AddSwitch("", o.jm);
    if (o.gd > 0) line.Add("-J");
}

}  // namespace

TZip32::TZip32() { TZip32::LoadDLL(); }

void TZip32::LoadDLL()
{
    if (!loadAny()) throw EArchiver("ZIP 形式書庫を解凍するには UNZIP32.DLL が、作成するには ZIP32J.DLL が必要です。");
}

void TZip32::FreeDLL()
{
    for (ArchiverLibrary* library : zip().all()) library->free();
    zip().entries.clear();
}

HARC TZip32::OpenArchive(HWND window, const std::string& archive, uint32_t mode)
{
    return listingEntry<ArchiverOpenArchiveProc>("UnZipOpenArchive")(window, fullPath(archive).c_str(), mode);
}

int TZip32::FindFirst(HARC handle, INDIVIDUALINFO& record, const std::string& wildcard)
{
    return listingEntry<ArchiverFindFirstProc>("UnZipFindFirst")(handle, wildcard.c_str(), &record);
}

int TZip32::FindNext(HARC handle, INDIVIDUALINFO& record)
{
    return listingEntry<ArchiverFindNextProc>("UnZipFindNext")(handle, &record);
}

int TZip32::CloseArchive(HARC handle) { return listingEntry<ArchiverCloseArchiveProc>("UnZipCloseArchive")(handle); }

int TZip32::Extract(HWND window, const std::string& archive, const TArchiverOptions& options, const std::string& folder,
                    const std::vector<std::string>* files, std::string& output)
{
    TCmdOpt line;
    line.NameFilter = ZipNameFilter;
    if (options.c == 1) line.Add("-o");
    if (options.n > 0 || OwnerWindow) line.Add("--i");
    if (options.x == 0) line.Add("-j");
    addCommandTail(line, options, archive, folder, files, options.ResFileUsage.contains(ruOnUnpack));
    return run(unzipCommand(), window, "-x" + line.CmdLine, output);
}

int TZip32::Pack(HWND window, const std::string& archive, const TArchiverOptions& options, const std::string& folder,
                 const std::vector<std::string>* files, std::string& output)
{
    if (zip().zip32j.loaded())
        return runPackCommand(window, "", options, archive, folder, files, options.ResFileUsage.contains(ruOnPack),
                              output);
    if (!zip().lmzip32.loaded()) throw EArchiver(PackingNeedsLibrary);
    TCmdOpt line;
    if (options.c == 1) line.Add("-o");
    if (options.x == 0) line.Add("-j");
    addCommandTail(line, options, archive, "", files, options.ResFileUsage.contains(ruOnPack));
    // The library makes the archive anew; it is deleted only once the entry is bound.
    const ArchiverCommandProc command = zipCommand();
    std::remove(archive.c_str());
    return run(command, window, "-ru" + line.CmdLine, output);
}

int TZip32::Remove(HWND window, const std::string& archive, const TArchiverOptions& options, const std::string&,
                   const std::vector<std::string>* files, std::string& output)
{
    return runPackCommand(window, "-d", options, archive, "", files, options.ResFileUsage.contains(ruOnRemoveItem),
                          output);
}

int TZip32::Update(HWND window, const std::string& archive, const TArchiverOptions& options, const std::string& folder,
                   const std::vector<std::string>* files, std::string& output)
{
    return runPackCommand(window, "-f", options, archive, folder, files, options.ResFileUsage.contains(ruOnUpdate),
                          output);
}

int TZip32::MakeSFX(HWND window, const std::string& archive, const TArchiverOptions& options, const std::string& folder,
                    std::string& output)
{
    if (!zip().zip32j.loaded()) throw EArchiver("ZIP 形式書庫からの自己解凍書庫作成には ZIP32J.DLL が必要です。");
    const std::string stub =
        options.gw < 1
            ? findSelfExtractorStub("sfx16.dat", "zip 書庫からのDOS自己解凍書庫の作成には sfx16.dat が必要です。")
            : findSelfExtractorStub("sfx32gui.dat",
                                    "zip 書庫からのWin32自己解凍書庫の作成には sfx32gui.dat が必要です。");
    const std::string target = selfExtractorPath(archive, folder);
    writeSelfExtractor(stub, archive, target);
    return run(zipCommand(), window, "-A " + target, output);
}

int TZip32::CheckArchive(const std::string& archive, int32_t mode, int32_t)
{
    ZipLibraries& libraries = zip();
    const auto check = bindEntry<ArchiverCheckArchiveProc>("UnZipCheckArchive",
                                                           {&libraries.unzip32, &libraries.lmzip32, &libraries.zip32j});
    return check(archive.c_str(), mode);
}

bool TZip32::SetOwnerWindow(HWND window, void* callback)
{
    zip().unzip32.entry<ArchiverSetOwnerWindowExProc>(SetOwnerWindowEntry)(window, callback);
    OwnerWindow = window;
    return true;
}

bool TZip32::KillOwnerWindow(HWND window)
{
    zip().unzip32.entry<ArchiverKillOwnerWindowExProc>(KillOwnerWindowEntry)(window);
    OwnerWindow = nullptr;
    return true;
}

std::optional<bool> TZip32::trySetOwnerWindow(HWND window, void* callback)
{
    if (!zip().unzip32.tryEntry<ArchiverSetOwnerWindowExProc>(SetOwnerWindowEntry)) return std::nullopt;
    return SetOwnerWindow(window, callback);
}

std::optional<bool> TZip32::tryKillOwnerWindow(HWND window)
{
    if (!zip().unzip32.tryEntry<ArchiverKillOwnerWindowExProc>(KillOwnerWindowEntry)) return std::nullopt;
    return KillOwnerWindow(window);
}

int TZip32::runPackCommand(HWND window, const std::string& word, const TArchiverOptions& options,
                           const std::string& archive, const std::string& folder, const std::vector<std::string>* files,
                           bool listInResponseFile, std::string& output)
{
    TCmdOpt line;
    line.NameFilter = ZipNameFilter;
    addPackSwitches(line, options);
    addCommandTail(line, options, archive, folder, files, listInResponseFile);
    return run(zipCommand(), window, word + line.CmdLine, output);
}

int TZip32::run(ArchiverCommandProc command, HWND window, const std::string& commandLine, std::string& output)
{
    CommandLine = commandLine;
    return callCommand(command, window, output);
}

bool IsZipArchive(const std::string& archive)
{
    if (!loadAny()) return false;
    const auto open = tryListingEntry<ArchiverOpenArchiveProc>("UnZipOpenArchive");
    if (!open) return false;
    const HARC handle = open(nullptr, fullPath(archive).c_str(), ARCHIVER_MODE_CHECK);
    if (handle == 0) return false;
    const auto close = tryListingEntry<ArchiverCloseArchiveProc>("UnZipCloseArchive");
    if (close) close(handle);
    return close != nullptr;
}

// Names reach us as UTF-8, where no byte of a multi-byte character is a "\" or a
// "[", so the name is scanned byte by byte.
std::string ZipNameFilter(const std::string& name)
{
    std::string filtered;
    for (const char c : name) {
        if (c == '\\')
            filtered += '/';
        else if (c == '[')
            filtered += "[[]";
        else
            filtered += c;
    }
    return filtered;
}
