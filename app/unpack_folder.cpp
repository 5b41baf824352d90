// The private unpack folder, and the paths of a listing taken inside it by the
// platform's stored-path rule.
#include "app/unpack_folder.h"

#include "platform/exception.h"
#include "platform/file_system.h"
#include "platform/process.h"
#include "platform/safe_path.h"

#include <cstdlib>
#include <filesystem>

namespace {

[[noreturn]] void refuse(const std::string& folder) { throw Exception("一時フォルダ " + folder + " は使えません"); }

}  // namespace

std::string unpackFolderPath(int processId)
{
    const char* const runtimeVariable = std::getenv("XDG_RUNTIME_DIR");
    std::string runtime = runtimeVariable ? runtimeVariable : "";
    while (runtime.size() > 1 && runtime.back() == '/') runtime.pop_back();
    // An inherited runtime folder of another user (root's, under sudo -u) is passed by.
    std::string shared;
    if (runtime.starts_with('/') && isOwnFolder(runtime)) {
        shared = runtime + "/pomelune-qptemp/";
    } else {
        std::error_code error;
        std::string base = std::filesystem::temp_directory_path(error).string();
        if (error || base.empty()) base = "/tmp";
        if (base.back() == '/') base.pop_back();
        shared = base + "/pomelune-qptemp-" + std::to_string(currentUserId()) + "/";
    }
    return shared + std::to_string(processId) + "/";
}

std::string unpackFolderPath() { return unpackFolderPath(currentProcessId()); }

void preparePrivateFolder(const std::string& folder)
{
    // Without its final "/", so that a symbolic link is seen as one, not followed.
    std::string path = folder;
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    // The program's folder is made and opened through the opened parent, so a parent
    // swapped for a link after its check is never walked through.
    const FileDescriptor parent = openPrivateFolder(folderOf(path));
    if (!parent.valid()) refuse(folder);
    const FileDescriptor own = openPrivateFolderAt(parent, std::filesystem::path(path).filename().string());
    if (!own.valid()) refuse(folder);
}

std::optional<std::string> insidePath(std::string_view stored)
{
    if (storedPathParts(stored).fault != StoredPathFault::none) return std::nullopt;
    std::string relative(stored);
    for (char& c : relative)
        if (c == '\\') c = '/';
    return relative;
}

bool regularFileInside(const std::string& folder, const std::string& relative)
{
    return regularFileBelow(folder, storedPathParts(relative).parts);
}

void removeRegularFileInside(const std::string& folder, const std::string& relative)
{
    removeRegularFileBelow(folder, storedPathParts(relative).parts);
}
