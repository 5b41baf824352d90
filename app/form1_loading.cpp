// Loading a package into the main window: from a path, from a drop of a file whose
// folder holds a definition, or from a dropped archive unpacked into the private
// unpack folder and cleared again.
#include "app/form1.h"

#include "app/cg_sheet.h"
#include "app/definition_load_error.h"
#include "app/form1_design.h"
#include "app/problems_window.h"
#include "app/qt_window_host.h"
#include "app/timeline_view.h"
#include "app/unpack_folder.h"
#include "archive/archive_file.h"
#include "chr/qpchr.h"
#include "display/dddd.h"
#include "platform/exception.h"
#include "platform/scope_guard.h"
#include "platform/text.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <cstring>
#include <filesystem>

namespace {

constexpr int ListingOutputSize = 8192;

bool endsWithoutCase(std::string_view text, std::string_view ending)
{
    if (text.size() < ending.size()) return false;
    const std::string_view tail = text.substr(text.size() - ending.size());
    for (size_t i = 0; i < ending.size(); ++i) {
        const char c = tail[i] >= 'a' && tail[i] <= 'z' ? static_cast<char>(tail[i] - 'a' + 'A') : tail[i];
        if (c != ending[i]) return false;
    }
    return true;
}

// Whether the folder of path holds an ordinary file (no folder, no hidden file)
// matching "*.chP" without regard to case.
bool folderHoldsDefinition(const std::string& path)
{
    const size_t slash = path.rfind('/');
    const std::filesystem::path folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        std::error_code kindError;
        if (name.front() != '.' && endsWithoutCase(name, ".CHP") && it->is_regular_file(kindError)) return true;
    }
    return false;
}

// The local files of a drag, in drop order.
std::vector<std::string> localFiles(const QMimeData* data)
{
    std::vector<std::string> files;
    if (!data || !data->hasUrls()) return files;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile()) continue;
        // A folder may arrive with a final "/"; its name is the path without it.
        std::string path = QFile::encodeName(url.toLocalFile()).toStdString();
        while (path.size() > 1 && path.back() == '/') path.pop_back();
        files.push_back(path);
    }
    return files;
}

}  // namespace

void TForm1::LoadPackage(const std::string& path)
{
    // The workbench's windows follow every load, a failed one above all.
    const ScopeGuard loaded([this, &path] {
        problemsWindow->list(path);
        cgSheet->definitionLoaded();
        timelineView->definitionLoaded();
    });
    reload->setEnabled(false);
    CGreload->setEnabled(false);
    buttonck->setEnabled(false);
    for (const AnimeButton& anime : animeButtons) (this->*anime.button)->setEnabled(false);

    try {
        chr->load(path);
    } catch (const Exception& error) {
        // The box keeps the load's message; where the load stopped goes to its details.
        throw EDefinitionLoad(error, chr->chpfile, chr->loadline);
    }

    for (const AnimeButton& anime : animeButtons)
        if (chr->animeused[static_cast<size_t>(anime.anime)]) (this->*anime.button)->setEnabled(true);
    setEditText(*Edit1, QString::number(chr->framewait));
    Label1->setText(QString::fromStdString(cp932ToUtf8(chr->charname)));
    Label1->adjustSize();
    if (!fromarchive) {
        reload->setEnabled(true);
        CGreload->setEnabled(true);
    }
    buttonck->setEnabled(true);
    DDDD1->ClearBackBuffer();
    PresentView();
    DDDD1->ClearBackBuffer();
}

void TForm1::WMDropFiles(const std::vector<std::string>& names)
{
    if (names.empty()) return;
    const std::string& name = names.front();
    const bool definitionBeside = folderHoldsDefinition(name);
    const bool packageFromArchive = fromarchive;
    fromarchive = false;
    if (definitionBeside) {
        LoadPackage(name);
        return;
    }

    std::vector<std::string> entries;
    ArchiveFile1->SetFileName(name);
    TArchiverOptions& options = ArchiveFile1->Options();
    options.a = 0;
    options.m = 1;
    options.n = 1;
    options.x = 1;
    options.ga = 1;
    ArchiveFile1->SetOutputSize(ListingOutputSize);
    // The definition is the last listed entry ending in "chp" in any case; a name
    // that would lead out of the unpack folder is never taken.
    std::string found;
    HWND window = host_->handle();
    ArchiveFile1->OpenArchive(window, ARCHIVER_MODE_LIST);
    INDIVIDUALINFO record{};
    for (int result = ArchiveFile1->FindFirst("*.*", record); result == 0; result = ArchiveFile1->FindNext(record)) {
        const std::string stored(record.szFileName, strnlen(record.szFileName, sizeof record.szFileName));
        entries.push_back(stored);
        const std::optional<std::string> inside = insidePath(stored);
        if (inside && endsWithoutCase(stored, "CHP")) found = *inside;
    }
    ArchiveFile1->CloseArchive();
    if (found.empty()) return;

    preparePrivateFolder(tempdir);
    ArchiveFile1->Extract(window, nullptr, tempdir, nullptr);
    // An unpacked definition that is no regular file of the folder (a symbolic link
    // the archive made, say) is not read, and the package on show stays as it came.
    if (!regularFileInside(tempdir, found)) {
        ClearTemp(entries);
        fromarchive = packageFromArchive;
        throw EFileOpenError(tempdir + found);
    }
    fromarchive = true;
    LoadPackage(tempdir + found);
    ClearTemp(entries);
}

void TForm1::ClearTemp(const std::vector<std::string>& entries)
{
    for (const std::string& stored : entries)
        if (const std::optional<std::string> inside = insidePath(stored)) removeRegularFileInside(tempdir, *inside);
}

void TForm1::dragEnterEvent(QDragEnterEvent* event)
{
    if (!localFiles(event->mimeData()).empty()) event->acceptProposedAction();
}

// The drop is ended before the package is sorted and loaded, so that the drag
// source (a file manager) is not kept waiting while an error box is open.
void TForm1::dropEvent(QDropEvent* event)
{
    std::vector<std::string> names = localFiles(event->mimeData());
    if (names.empty()) return;
    event->acceptProposedAction();
    QTimer::singleShot(0, this, [this, names = std::move(names)] { runGuarded([&] { WMDropFiles(names); }); });
}

// Files dragged onto an edit box load as dropped on the window: a file manager
// offers them as text too, which the box would take as typed.
bool TForm1::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop: break;
    default: return QMainWindow::eventFilter(watched, event);
    }
    auto* drop = static_cast<QDropEvent*>(event);
    if (!qobject_cast<QLineEdit*>(watched) || localFiles(drop->mimeData()).empty()) return false;
    if (event->type() == QEvent::Drop)
        dropEvent(drop);
    else
        drop->acceptProposedAction();
    return true;
}
