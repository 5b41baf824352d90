// The private unpack folder and the walk from it to a file named by a listing that
// never follows a symbolic link.
#include "app/unpack_folder.h"

#include "platform/exception.h"
#include "platform/file_system.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr mode_t PrivateMode = 0700;

// Closes a descriptor when it leaves scope.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0) close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    void reset(int fd)
    {
        if (fd_ >= 0) close(fd_);
        fd_ = fd;
    }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

std::vector<std::string> partsOf(const std::string& relative)
{
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= relative.size()) {
        const size_t end = std::min(relative.find('/', start), relative.size());
        const std::string part = relative.substr(start, end - start);
        if (!part.empty() && part != ".") parts.push_back(part);
        start = end + 1;
    }
    return parts;
}

int openFolderAt(int at, const char* name)
{
    return openat(at, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

// Opens the folder holding the last part of relative, following no symbolic link at
// any step, and names that last part; false when there is no such folder.
bool walkToLeaf(const std::string& folder, const std::string& relative, Descriptor& opened, std::string& leaf)
{
    const std::vector<std::string> parts = partsOf(relative);
    if (parts.empty()) return false;
    opened.reset(openFolderAt(AT_FDCWD, folder.c_str()));
    for (size_t i = 0; i + 1 < parts.size() && opened.get() >= 0; ++i) opened.reset(openFolderAt(opened.get(), parts[i].c_str()));
    leaf = parts.back();
    return opened.get() >= 0;
}

bool isRegularAt(int folder, const std::string& name)
{
    struct stat status;
    return fstatat(folder, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(status.st_mode);
}

[[noreturn]] void refuse(const std::string& folder) { throw Exception("一時フォルダ " + folder + " は使えません"); }

// Makes the folder name in at with mode 0700 when it is missing and opens it,
// closing it to other users when it is open to them; refuses shown when name is a
// symbolic link, no folder or someone else's.
int openPrivateFolderAt(int at, const std::string& name, const std::string& shown)
{
    if (mkdirat(at, name.c_str(), PrivateMode) != 0 && errno != EEXIST) refuse(shown);
    Descriptor opened(openFolderAt(at, name.c_str()));
    struct stat status;
    if (opened.get() < 0 || fstat(opened.get(), &status) != 0 || status.st_uid != getuid()) refuse(shown);
    // Our own folder left open to others by some earlier program is closed again.
    if ((status.st_mode & 077) != 0 && fchmod(opened.get(), PrivateMode) != 0) refuse(shown);
    return opened.release();
}

}  // namespace

std::string unpackFolderPath(pid_t processId)
{
    const char* const runtimeVariable = std::getenv("XDG_RUNTIME_DIR");
    std::string runtime = runtimeVariable ? runtimeVariable : "";
    while (runtime.size() > 1 && runtime.back() == '/') runtime.pop_back();
    // An inherited runtime folder of another user (root's, under sudo -u) is passed by.
    struct stat status;
    const bool ours = runtime.starts_with('/') && lstat(runtime.c_str(), &status) == 0 && S_ISDIR(status.st_mode) &&
                      status.st_uid == getuid();
    std::string shared;
    if (ours) {
        shared = runtime + "/pomelune-qptemp/";
    } else {
        std::error_code error;
        std::string base = std::filesystem::temp_directory_path(error).string();
        if (error || base.empty()) base = "/tmp";
        if (base.back() == '/') base.pop_back();
        shared = base + "/pomelune-qptemp-" + std::to_string(getuid()) + "/";
    }
    return shared + std::to_string(processId) + "/";
}

std::string unpackFolderPath() { return unpackFolderPath(getpid()); }

void preparePrivateFolder(const std::string& folder)
{
    // Without its final "/", so that a symbolic link is seen as one, not followed.
    std::string path = folder;
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    // The program's folder is made and opened through the opened parent, so a parent
    // swapped for a link after its check is never walked through.
    const Descriptor parent(openPrivateFolderAt(AT_FDCWD, folderOf(path), folder));
    const Descriptor own(openPrivateFolderAt(parent.get(), std::filesystem::path(path).filename().string(), folder));
}

std::optional<std::string> insidePath(std::string_view stored)
{
    std::string relative(stored);
    for (char& c : relative)
        if (c == '\\') c = '/';
    const bool driveLetter = relative.size() >= 2 && relative[1] == ':';
    if (relative.empty() || relative.front() == '/' || driveLetter || relative.find('\0') != std::string::npos) return std::nullopt;
    for (const std::string& part : partsOf(relative))
        if (part == "..") return std::nullopt;
    return relative;
}

bool regularFileInside(const std::string& folder, const std::string& relative)
{
    Descriptor opened(-1);
    std::string leaf;
    return walkToLeaf(folder, relative, opened, leaf) && isRegularAt(opened.get(), leaf);
}

void removeRegularFileInside(const std::string& folder, const std::string& relative)
{
    Descriptor opened(-1);
    std::string leaf;
    // Removing a name never follows it: should the file be swapped for a link
    // after the test, the link goes, not what it points to; a folder is not removed.
    if (walkToLeaf(folder, relative, opened, leaf) && isRegularAt(opened.get(), leaf)) unlinkat(opened.get(), leaf.c_str(), 0);
}
