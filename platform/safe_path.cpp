// The rule for stored paths below a folder, and the no-follow folder walks and
// private folders built on open descriptors.
#include "platform/safe_path.h"

#include <cerrno>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr mode_t FolderMode = 0755;
constexpr mode_t PrivateMode = 0700;
constexpr int FolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

bool isSeparator(char c) { return c == '/' || c == '\\'; }

// The folder holding the last of parts, reached from folder without a link; invalid
// when there is none or parts is empty.
FileDescriptor leafFolder(const std::string& folder, std::span<const std::string> parts)
{
    if (parts.empty()) return FileDescriptor();
    const FileDescriptor root(openat(AT_FDCWD, folder.c_str(), FolderFlags));
    if (!root.valid()) return FileDescriptor();
    WalkStop stop;
    return walkFolders(root.get(), parts.first(parts.size() - 1), MissingFolders::fail, stop);
}

bool isRegularAt(const FileDescriptor& folder, const std::string& name)
{
    struct stat status;
    return fstatat(folder.get(), name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(status.st_mode);
}

FileDescriptor privateFolderAt(int at, const std::string& name)
{
    if (mkdirat(at, name.c_str(), PrivateMode) != 0 && errno != EEXIST) return FileDescriptor();
    FileDescriptor opened(openat(at, name.c_str(), FolderFlags));
    struct stat status;
    if (!opened.valid() || fstat(opened.get(), &status) != 0 || status.st_uid != getuid()) return FileDescriptor();
    // Our own folder left open to others by some earlier program is closed again.
    if ((status.st_mode & 077) != 0 && fchmod(opened.get(), PrivateMode) != 0) return FileDescriptor();
    return opened;
}

}  // namespace

FileDescriptor::~FileDescriptor()
{
    if (fd_ >= 0) close(fd_);
}

FileDescriptor::FileDescriptor(FileDescriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

int FileDescriptor::release() noexcept { return std::exchange(fd_, -1); }

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept
{
    if (this != &other) {
        if (fd_ >= 0) close(fd_);
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

StoredPath storedPathParts(std::string_view stored)
{
    const bool drive = stored.size() >= 2 && stored[1] == ':';
    if (stored.empty() || isSeparator(stored.front()) || drive) return {{}, StoredPathFault::absolute};
    if (stored.find('\0') != std::string_view::npos) return {{}, StoredPathFault::nulByte};
    StoredPath path;
    size_t start = 0;
    while (start <= stored.size()) {
        size_t end = start;
        while (end < stored.size() && !isSeparator(stored[end])) ++end;
        const std::string_view part = stored.substr(start, end - start);
        if (part == "..") return {{}, StoredPathFault::leadsOut};
        if (!part.empty() && part != ".") path.parts.emplace_back(part);
        start = end + 1;
    }
    if (path.parts.empty()) path.fault = StoredPathFault::noName;
    return path;
}

bool WalkStop::blocked() const { return !making && (error == ELOOP || error == ENOTDIR); }

FileDescriptor walkFolders(int at, std::span<const std::string> parts, MissingFolders missing, WalkStop& stop)
{
    FileDescriptor current(parts.empty() ? openat(at, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC) : -1);
    if (parts.empty() && !current.valid()) stop = {0, errno, false};
    for (size_t i = 0; i < parts.size(); ++i) {
        const int from = i == 0 ? at : current.get();
        if (missing == MissingFolders::make && mkdirat(from, parts[i].c_str(), FolderMode) != 0 && errno != EEXIST) {
            stop = {i, errno, true};
            return FileDescriptor();
        }
        current = FileDescriptor(openat(from, parts[i].c_str(), FolderFlags));
        if (!current.valid()) {
            stop = {i, errno, false};
            return current;
        }
    }
    return current;
}

bool regularFileBelow(const std::string& folder, std::span<const std::string> parts)
{
    const FileDescriptor opened = leafFolder(folder, parts);
    return opened.valid() && isRegularAt(opened, parts.back());
}

void removeRegularFileBelow(const std::string& folder, std::span<const std::string> parts)
{
    // Removing a name never follows it: should the file be swapped for a link
    // after the test, the link goes, not what it points to; a folder is not removed.
    const FileDescriptor opened = leafFolder(folder, parts);
    if (opened.valid() && isRegularAt(opened, parts.back())) unlinkat(opened.get(), parts.back().c_str(), 0);
}

FileDescriptor openPrivateFolder(const std::string& path) { return privateFolderAt(AT_FDCWD, path); }

FileDescriptor openPrivateFolderAt(const FileDescriptor& at, const std::string& name)
{
    return privateFolderAt(at.get(), name);
}

bool isOwnFolder(const std::string& path)
{
    struct stat status;
    return lstat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode) && status.st_uid == getuid();
}
