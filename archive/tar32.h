// The drivers for the tar family through tar32.dll: TTar32 for .tar, TTgz32 for the
// gzip and compress family, TBZ232 for the bzip2 family. The three differ only in the
// TarFamily each gives TTar32's constructor.
#pragma once

#include "archive/archiver_type.h"
#include "archive/library_driver.h"

// Where a member of the tar family differs: the compression switch letter ("" for
// none) and whether it can be made self-extracting.
struct TarFamily {
    const char* compression;
    bool selfExtracting;
};

class TTar32 : public LibraryDriver {
public:
    TTar32();

    // The commands x and c through Tar, with the tar switches and their own tail.
    int Extract(HWND window, const std::string& archive, const TArchiverOptions& options, const std::string& folder,
                const std::vector<std::string>* files, std::string& output) override;
    int Pack(HWND window, const std::string& archive, const TArchiverOptions& options, const std::string& folder,
             const std::vector<std::string>* files, std::string& output) override;
    // Made without the library: the stub kmtarsef.exe followed by the archive, in
    // ARCHIVE.EXE; returns 0 and leaves CommandLine as it was. Not for TBZ232.
    int MakeSFX(HWND window, const std::string& archive, const TArchiverOptions& options, const std::string& folder,
                std::string& output) override;

protected:
    explicit TTar32(const TarFamily& family);

private:
    int runTar(HWND window, const std::string& word, const TArchiverOptions& options, const std::string& archive,
               const std::string& folder, const std::vector<std::string>* files, bool listInResponseFile,
               std::string& output);

    TarFamily family_;
};

// Compressed with the switch "z".
class TTgz32 : public TTar32 {
public:
    TTgz32();
};

// Compressed with the switch "B"; never self-extracting.
class TBZ232 : public TTar32 {
public:
    TBZ232();
};

// The tar family's content test, by TarGetArchiveType on the path as given: atTar,
// atTgz, atBZ2, or atNone for anything else and for any error.
TArchiverType TarArchiveType(const std::string& archive);
