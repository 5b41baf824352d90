// TTar32 and its family: the tar command lines, self-extraction and the content test.
#include "archive/tar32.h"

#include "archive/archiver_error.h"
#include "archive/self_extractor.h"

namespace {

DriverLibrary& tar32()
{
    static DriverLibrary library{ArchiverLibrary("tar32.dll"), "Tar",
                                 "tar/tgz/taz/bz2 形式書庫を扱うには tar32.dll が 必要です。"};
    return library;
}

// The compression switch, with the level jm when it is 1 or more; nothing without
// a letter.
void addCompression(TCmdOpt& line, const std::string& letter, int8_t jm)
{
    if (letter.empty()) return;
    if (jm >= 1)
        line.AddSwitch(letter, jm);
    else
        line.Add("-" + letter);
}

}  // namespace

TTar32::TTar32() : TTar32(TarFamily{.compression = "", .selfExtracting = true}) {}

TTar32::TTar32(const TarFamily& family) : LibraryDriver(tar32()), family_(family) {}

TTgz32::TTgz32() : TTar32(TarFamily{.compression = "z", .selfExtracting = true}) {}

TBZ232::TBZ232() : TTar32(TarFamily{.compression = "B", .selfExtracting = false}) {}

int TTar32::Extract(HWND window, const std::string& archive, const TArchiverOptions& options, const std::string& folder,
                    const std::vector<std::string>* files, std::string& output)
{
    return runTar(window, "x", options, archive, folder, files, options.ResFileUsage.contains(ruOnUnpack), output);
}

int TTar32::Pack(HWND window, const std::string& archive, const TArchiverOptions& options, const std::string& folder,
                 const std::vector<std::string>* files, std::string& output)
{
    return runTar(window, "c", options, archive, folder, files, options.ResFileUsage.contains(ruOnPack), output);
}

int TTar32::MakeSFX(HWND, const std::string& archive, const TArchiverOptions&, const std::string& folder, std::string&)
{
    if (!family_.selfExtracting) throw EArchiver("BZ2 形式書庫は自己解凍形式にできません。");
    const std::string stub =
        findSelfExtractorStub("kmtarsef.exe", "tar/tgz 書庫からの自己解凍書庫の作成には kmtarsef.exe が必要です。");
    writeSelfExtractor(stub, archive, selfExtractorPath(archive, folder));
    return 0;
}

int TTar32::runTar(HWND window, const std::string& word, const TArchiverOptions& options, const std::string& archive,
                   const std::string& folder, const std::vector<std::string>* files, bool listInResponseFile,
                   std::string& output)
{
    TCmdOpt line;
    line.SeparateValue = true;
    if (options.a > 0)
        line.Add("-AH");
    else if (options.a == 0)
        line.Add("-I");
    if (!OwnerWindow && options.n > 0) line.Add("--display-dialog=0");
    if (options.o > 0) line.Add("-g");
    line.AddSwitch("-check-all-path=", options.p);
    line.AddSwitch("-use-directory=", options.x);
    addCompression(line, family_.compression, options.jm);
    line.Add(options.UserOptions);
    if (!archive.empty()) line.AddQuoted("f", archive);
    line.AddFolder("o", folder);
    addFileListOrResponseFile(line, options, files, listInResponseFile);
    line.Add(options.UserFileList);
    return run(window, word + line.CmdLine, output);
}

TArchiverType TarArchiveType(const std::string& archive)
{
    if (!tar32().library.tryLoad()) return atNone;
    // A library without the entry holds no tar archive.
    const auto archiveType = tar32().tryEntry<TarGetArchiveTypeProc>("GetArchiveType");
    if (!archiveType) return atNone;
    const int type = archiveType(archive.c_str());
    if (type == 1) return atTar;
    if (type >= 2 && type <= 5) return atTgz;
    if (type == 6 || type == 7) return atBZ2;
    return atNone;
}
