// The library binding shared by the drivers, TArchiver's base operations and the
// common command tail.
#include "archive/archiver.h"

#include "archive/archiver_error.h"
#include "platform/text.h"

bool ArchiverLibrary::tryLoad()
{
    if (!library_) library_ = loadLibrary(windowsName_);
    return loaded();
}

void ArchiverLibrary::load(const std::string& failureMessage)
{
    if (!tryLoad()) throw EArchiver(failureMessage);
}

void* ArchiverLibrary::tryFindEntry(const char* name)
{
    if (const auto kept = entries_.find(name); kept != entries_.end()) return kept->second;
    void* entry = findLibraryEntry(library_, name);
    if (entry) entries_.emplace(name, entry);
    return entry;
}

void* ArchiverLibrary::findEntry(const char* name)
{
    if (void* entry = tryFindEntry(name)) return entry;
    // An unloaded library has no full file name yet: it is named by its file name.
    const std::string file = loaded() ? libraryPath(library_) : platformLibraryName(windowsName_);
    throw EArchiver(firstUtf8Characters(displayText(file), 256) + " に " + name + " のエントリが見つかりません。");
}

void ArchiverLibrary::free()
{
    entries_.clear();
    freeLibrary(library_);
    library_ = nullptr;
}

void TArchiver::LoadDLL() { throw EArchiver("Abstract method 'TArchiver.LoadDLL' was called"); }

void TArchiver::FreeDLL() { throw EArchiver("Abstract method 'TArchiver.FreeDLL' was called"); }

HARC TArchiver::OpenArchive(HWND, const std::string&, uint32_t) { return 0; }

int TArchiver::FindFirst(HARC, INDIVIDUALINFO&, const std::string&) { return -1; }

int TArchiver::FindNext(HARC, INDIVIDUALINFO&) { return -1; }

int TArchiver::CloseArchive(HARC) { return 0; }

int TArchiver::Pack(HWND, const std::string&, const TArchiverOptions&, const std::string&,
                    const std::vector<std::string>*, std::string&)
{
    throw EArchiver("この形式では書庫ファイルの作成をサポートしておりません。");
}

int TArchiver::Remove(HWND, const std::string&, const TArchiverOptions&, const std::string&,
                      const std::vector<std::string>*, std::string&)
{
    throw EArchiver("この形式の書庫ではファイルの削除をサポートしておりません。");
}

int TArchiver::Update(HWND, const std::string&, const TArchiverOptions&, const std::string&,
                      const std::vector<std::string>*, std::string&)
{
    throw EArchiver("この形式の書庫では書庫の更新をサポートしておりません。");
}

int TArchiver::MakeSFX(HWND, const std::string&, const TArchiverOptions&, const std::string&, std::string&)
{
    throw EArchiver("この形式では自己解凍書庫の作成をサポートしておりません。");
}

int TArchiver::CheckArchive(const std::string&, int32_t, int32_t)
{
    throw EArchiver("この形式では書庫チェック機能をサポートしておりません。");
}

bool TArchiver::SetOwnerWindow(HWND, void*) { return false; }

bool TArchiver::KillOwnerWindow(HWND) { return false; }

int TArchiver::runCommand(ArchiverLibrary& library, const char* entryName, HWND window, const std::string& commandLine,
                          std::string& output)
{
    CommandLine = commandLine;
    return callCommand(library.entry<ArchiverCommandProc>(entryName), window, output);
}

int TArchiver::callCommand(ArchiverCommandProc command, HWND window, std::string& output) const
{
    return command(window, CommandLine.c_str(), output.empty() ? nullptr : output.data(),
                   static_cast<uint32_t>(output.size()));
}

void addCommandTail(TCmdOpt& line, const TArchiverOptions& options, const std::string& archive,
                    const std::string& folder, const std::vector<std::string>* files, bool listInResponseFile)
{
    line.Add(options.UserOptions);
    line.AddQuoted("", archive);
    line.AddFolder("", folder);
    addFileListOrResponseFile(line, options, files, listInResponseFile);
    line.Add(options.UserFileList);
}

void addFileListOrResponseFile(TCmdOpt& line, const TArchiverOptions& options, const std::vector<std::string>* files,
                               bool listInResponseFile)
{
    if (!files) return;
    if (listInResponseFile && !options.ResFileName.empty() && !isUnset(options.ResFileName))
        line.WriteResponseFile(*files, options.ResFileName);
    else
        line.AddFileList("", *files);
}
