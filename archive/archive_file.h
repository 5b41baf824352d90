// The archive component: holds an archive path, picks the format driver for it (by
// extension when the path is assigned, by content when the archive is opened while
// the type is undecided), owns an option set and an output buffer, and forwards
// listing and unpacking to the driver. Progress of unpacking reaches OnProgress
// through a hidden window receiving the registered message "wm_arcextract".
#pragma once

#include "archive/archiver.h"
#include "archive/archiver_options.h"
#include "archive/archiver_type.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TArchiveFile;

// The library's progress record, passed through unread.
using LPEXTRACTINGINFOEX = void*;

// Sender, the library's progress state, its progress record and Abort (initially
// false; set it to stop the library).
using TArchiverProgressEvent =
    std::function<void(TArchiveFile* sender, int32_t state, LPEXTRACTINGINFOEX lpEis, bool& abort)>;

enum class TDetectMode { ByExtension, ByContent };

// The format of the archive: by the extension of its file-name part (".exe" goes by
// content), or by every content test with LHA over ZIP over CAB over ARJ over RAR
// over the tar family. A test whose library or entry is missing answers no.
TArchiverType DetectArchiverType(const std::string& path, TDetectMode mode);

class TArchiveFile {
public:
    TArchiveFile();
    ~TArchiveFile();
    TArchiveFile(const TArchiveFile&) = delete;
    TArchiveFile& operator=(const TArchiveFile&) = delete;

    const std::string& FileName() const { return fileName_; }
    // Sets ArchiverType by the extension first; the path is not stored when that raises.
    void SetFileName(const std::string& path);

    TArchiverType ArchiverType() const { return archiverType_; }
    // atLha to atRar: a new driver of that format replaces the old one. atNone
    // changes nothing; atAutoDetect keeps the driver. Anything else raises, except
    // while Loading, when it is stored without a driver change.
    void SetArchiverType(TArchiverType type);

    int OutputSize() const { return static_cast<int>(output_.size()); }
    void SetOutputSize(int size);
    const std::string& Output() const { return output_; }

    TArchiverOptions& Options() { return *options_; }
    void SetOptions(const TArchiverOptions& options) { *options_ = options; }

    // The driver of the selected format, or null.
    TArchiver* Archiver() const { return driver_.get(); }
    HARC ArchiveHandle() const { return archiveHandle_; }

    void OpenArchive(HWND window, uint32_t mode);
    int FindFirst(const std::string& wildcard, INDIVIDUALINFO& record);
    int FindNext(INDIVIDUALINFO& record);
    void CloseArchive();
    // options and files may be null; options null means Options.
    int Extract(HWND window, const TArchiverOptions* options, const std::string& folder,
                const std::vector<std::string>* files);

    // The hidden window receiving progress messages; null until first needed.
    HWND ProgressWindow() const { return progressWindow_; }

    std::string LastCommandLine;
    TArchiverProgressEvent OnProgress;
    // True while the properties are read from a stored window description.
    bool Loading = false;

private:
    void beginProgress();
    void endProgress();
    intptr_t progressMessage(uint32_t message, uintptr_t wParam, intptr_t lParam);

    TArchiverType archiverType_ = atAutoDetect;
    std::unique_ptr<TArchiver> driver_;
    std::unique_ptr<TArchiverOptions> options_;
    std::string fileName_ = UnsetString;
    std::string output_;
    HWND progressWindow_ = nullptr;
    HARC archiveHandle_ = 0;
};
