// TRar32: the RAR extract line, sent through UNRAR32.DLL.
#include "archive/rar32.h"

namespace {

DriverLibrary& unrar32()
{
    static DriverLibrary library{ArchiverLibrary("UNRAR32.DLL"), "Unrar",
                                 "この機能の使用には UNRAR32.DLL が 必要です。"};
    return library;
}

}  // namespace

TRar32::TRar32() : LibraryDriver(unrar32()) {}

int TRar32::Extract(HWND window, const std::string& archive, const TArchiverOptions& options, const std::string& folder,
                    const std::vector<std::string>* files, std::string& output)
{
    TCmdOpt line;
    if (options.c < 1) line.Add("-u");
    if (options.m > 0) line.Add("-y");
    if (options.p > 0) line.Add("-s");
    addCommandTail(line, options, archive, folder, files, options.ResFileUsage.contains(ruOnUnpack));
    return run(window, (options.x == 0 ? "-e" : "-x") + line.CmdLine, output);
}

bool IsRarArchive(const std::string& archive) { return opensArchive(unrar32(), archive); }
