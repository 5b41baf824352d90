// TCab32: the CAB command lines, sent through CAB32.DLL.
#include "archive/cab32.h"

#include "platform/file_system.h"

namespace {

DriverLibrary& cab32()
{
    static DriverLibrary library{ArchiverLibrary("CAB32.DLL"), "Cab", "CAB 形式書庫を扱うには CAB32.DLL が 必要です。"};
    return library;
}

}  // namespace

TCab32::TCab32() : LibraryDriver(cab32()) {}

int TCab32::Extract(HWND window, const std::string& archive, const TArchiverOptions& options, const std::string& folder,
                    const std::vector<std::string>* files, std::string& output)
{
    return runCab(window, "-x", options, archive, folder, files, options.ResFileUsage.contains(ruOnUnpack), output);
}

int TCab32::Pack(HWND window, const std::string& archive, const TArchiverOptions& options, const std::string& folder,
                 const std::vector<std::string>* files, std::string& output)
{
    return runCab(window, "-a", options, archive, folder, files, options.ResFileUsage.contains(ruOnPack), output);
}

int TCab32::MakeSFX(HWND window, const std::string& archive, const TArchiverOptions& options, const std::string& folder,
                    std::string& output)
{
    return runCab(window, "-f", options, archive, folder, nullptr, false, output);
}

int TCab32::runCab(HWND window, const std::string& word, const TArchiverOptions& options, const std::string& archive,
                   const std::string& folder, const std::vector<std::string>* files, bool listInResponseFile,
                   std::string& output)
{
    TCmdOpt line;
    if (options.c == 1) line.Add("-o");
    if (options.n > 0 || OwnerWindow) line.Add("-i");
    if (options.r > 0) line.Add("-r");
    if (options.x == 0) line.Add("-j");
    if (options.ji > 0) line.Add("-q");
    addCommandTail(line, options, fullPath(archive), folder, files, listInResponseFile);
    return run(window, word + line.CmdLine, output);
}

bool IsCabArchive(const std::string& archive) { return opensArchive(cab32(), archive); }
