// TArj32: the LHA driver's lines, listed and extracted through UNARJ32J.DLL.
#include "archive/arj32.h"

namespace {

DriverLibrary& unarj32j()
{
    static DriverLibrary library{ArchiverLibrary("UNARJ32J.DLL"), "Unarj",
                                 "ARJ 形式書庫を扱うには UNARJ32J.DLL が 必要です。"};
    return library;
}

}  // namespace

TArj32::TArj32() : TLha32(unarj32j()) {}

int TArj32::Extract(HWND, const std::string& archive, const TArchiverOptions& options, const std::string& folder,
                    const std::vector<std::string>* files, std::string& output)
{
    return run(nullptr, commandLine("x", options, archive, folder, files, options.ResFileUsage.contains(ruOnUnpack)),
               output);
}

bool IsArjArchive(const std::string& archive) { return opensArchive(unarj32j(), archive); }
