// TArchiveFile: choosing the format driver by extension or content, listing, and
// unpacking with progress reported through a hidden window.
#include "archive/archive_file.h"

#include "archive/archiver_error.h"
#include "archive/arj32.h"
#include "archive/cab32.h"
#include "archive/lha32.h"
#include "archive/rar32.h"
#include "archive/tar32.h"
#include "archive/zip32.h"
#include "platform/scope_guard.h"
#include "platform/text.h"
#include "platform/window_messages.h"

#include <algorithm>

namespace {

const char* const UnsupportedType = "現在のバージョンではこの形式の書庫をサポートしていません。";
const char* const UnknownType = "書庫の形式を判別できません。";

// The number of "wm_arcextract", shared by every component; 0 until first needed.
uint32_t progressMessageNumber = 0;

TArchiverType typeByExtension(const std::string& path)
{
    struct Known {
        const char* extension;
        TArchiverType type;
    };
    static const Known known[] = {
        {".z", atTgz},   {".gz", atTgz},  {".tgz", atTgz}, {".taz", atTgz}, {".tar", atTar}, {".bz2", atBZ2},
        {".rar", atRar}, {".arj", atArj}, {".zip", atZip}, {".cab", atCab}, {".lzh", atLha},
    };
    // Each extension holds one dot, its first character, so a path ending in one has
    // it as the extension of its file-name part.
    if (endsWithIgnoringCase(path, ".exe")) return DetectArchiverType(path, TDetectMode::ByContent);
    for (const Known& entry : known) {
        if (endsWithIgnoringCase(path, entry.extension)) return entry.type;
    }
    return atNone;
}

TArchiverType typeByContent(const std::string& path)
{
    TArchiverType type = TarArchiveType(path);
    if (IsRarArchive(path)) type = atRar;
    if (IsArjArchive(path)) type = atArj;
    if (IsCabArchive(path)) type = atCab;
    if (IsZipArchive(path)) type = atZip;
    if (IsLhaArchive(path)) type = atLha;
    return type;
}

std::unique_ptr<TArchiver> createDriver(TArchiverType type)
{
    switch (type) {
    case atLha: return std::make_unique<TLha32>();
    case atZip: return std::make_unique<TZip32>();
    case atCab: return std::make_unique<TCab32>();
    case atArj: return std::make_unique<TArj32>();
    case atTar: return std::make_unique<TTar32>();
    case atTgz: return std::make_unique<TTgz32>();
    case atBZ2: return std::make_unique<TBZ232>();
    case atRar: return std::make_unique<TRar32>();
    default: return nullptr;
    }
}

}  // namespace

TArchiverType DetectArchiverType(const std::string& path, TDetectMode mode)
{
    return mode == TDetectMode::ByExtension ? typeByExtension(path) : typeByContent(path);
}

TArchiveFile::TArchiveFile() : options_(std::make_unique<TArchiverOptions>()) {}

TArchiveFile::~TArchiveFile()
{
    if (progressWindow_) destroyMessageWindow(progressWindow_);
    driver_.reset();
    options_.reset();
}

void TArchiveFile::SetFileName(const std::string& path)
{
    SetArchiverType(DetectArchiverType(path, TDetectMode::ByExtension));
    fileName_ = path;
}

void TArchiveFile::SetArchiverType(TArchiverType type)
{
    if (type <= atRar) {
        std::unique_ptr<TArchiver> driver = createDriver(type);
        driver_ = std::move(driver);
        archiverType_ = type;
    } else if (type == atNone) {
        return;
    } else if (type == atAutoDetect || Loading) {
        archiverType_ = type;
    } else {
        throw EArchiver(UnsupportedType);
    }
}

void TArchiveFile::SetOutputSize(int size)
{
    output_.assign(static_cast<size_t>(std::max(size, 0)), ' ');
    if (size > 0) output_[0] = '\0';
}

void TArchiveFile::OpenArchive(HWND window, uint32_t mode)
{
    if (archiverType_ == atAutoDetect) SetArchiverType(DetectArchiverType(fileName_, TDetectMode::ByContent));
    if (!driver_) throw EArchiver(UnknownType);
    archiveHandle_ = driver_->OpenArchive(window, fileName_, mode);
}

int TArchiveFile::FindFirst(const std::string& wildcard, INDIVIDUALINFO& record)
{
    if (!driver_) throw EArchiver(UnknownType);
    return driver_->FindFirst(archiveHandle_, record, wildcard);
}

int TArchiveFile::FindNext(INDIVIDUALINFO& record)
{
    if (!driver_) throw EArchiver(UnknownType);
    return driver_->FindNext(archiveHandle_, record);
}

void TArchiveFile::CloseArchive()
{
    if (driver_) driver_->CloseArchive(archiveHandle_);
    archiveHandle_ = 0;
}

int TArchiveFile::Extract(HWND window, const TArchiverOptions* options, const std::string& folder,
                          const std::vector<std::string>* files)
{
    if (!driver_) throw EArchiver(UnknownType);
    beginProgress();
    // The library lets go of the progress window however the command ends.
    const ScopeGuard progressEnds([this] { endProgress(); });
    const TArchiverOptions& used = options ? *options : *options_;
    const int result = driver_->Extract(window, fileName_, used, folder, files, output_);
    LastCommandLine = driver_->CommandLine;
    return result;
}

void TArchiveFile::beginProgress()
{
    if (!OnProgress) return;
    if (progressMessageNumber == 0) progressMessageNumber = registerWindowMessage("wm_arcextract");
    if (!progressWindow_) {
        progressWindow_ = createMessageWindow([this](uint32_t message, uintptr_t wParam, intptr_t lParam) {
            return progressMessage(message, wParam, lParam);
        });
    }
    // A library without the owner-window entries unpacks without reporting progress.
    driver_->trySetOwnerWindow(progressWindow_, nullptr);
}

void TArchiveFile::endProgress()
{
    if (OnProgress) driver_->tryKillOwnerWindow(progressWindow_);
}

intptr_t TArchiveFile::progressMessage(uint32_t message, uintptr_t wParam, intptr_t lParam)
{
    if (message != progressMessageNumber || progressMessageNumber == 0) return 0;
    bool abort = false;
    if (OnProgress) OnProgress(this, static_cast<int32_t>(wParam), reinterpret_cast<LPEXTRACTINGINFOEX>(lParam), abort);
    return abort ? 1 : 0;
}
