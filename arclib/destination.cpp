// Writing entries below the destination folder without following links.
#include "arclib/destination.h"

#include "arclib/archive_error.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace {

constexpr mode_t FolderMode = 0755;
constexpr mode_t FileMode = 0644;

std::string joined(const std::vector<std::string>& parts, size_t count)
{
    std::string path;
    for (size_t i = 0; i < count; ++i) path += (i ? "/" : "") + parts[i];
    return path;
}

[[noreturn]] void systemFailure(const std::string& path, const char* what)
{
    throw ArchiveError(arcWriteFailed, path + ": " + what + ": " + std::strerror(errno));
}

}  // namespace

OutputFile::OutputFile(int folder, std::string name, int descriptor, std::string path)
    : folder_(folder), name_(std::move(name)), descriptor_(descriptor), path_(std::move(path))
{
}

OutputFile::~OutputFile()
{
    if (descriptor_ >= 0) {
        close(descriptor_);
        unlinkat(folder_, name_.c_str(), 0);
    }
    if (folder_ != AT_FDCWD) close(folder_);
}

void OutputFile::write(std::span<const char> data)
{
    while (!data.empty()) {
        const ssize_t written = ::write(descriptor_, data.data(), data.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) systemFailure(path_, "cannot write");
        data = data.subspan(static_cast<size_t>(written));
    }
}

void OutputFile::finish(int64_t modified)
{
    if (modified != 0) {
        const timespec times[2] = {{0, UTIME_OMIT}, {static_cast<time_t>(modified), 0}};
        futimens(descriptor_, times);
    }
    const int descriptor = descriptor_;
    descriptor_ = -1;
    if (close(descriptor) != 0) {
        unlinkat(folder_, name_.c_str(), 0);
        systemFailure(path_, "cannot write");
    }
}

Destination::Destination(const std::string& folder) : folder_(AT_FDCWD)
{
    if (folder.empty()) return;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    folder_ = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder_ < 0) systemFailure(folder, "cannot open the destination folder");
}

Destination::~Destination()
{
    if (folder_ != AT_FDCWD) close(folder_);
}

int Destination::openFolder(const std::vector<std::string>& parts, size_t count)
{
    int current = folder_;
    for (size_t i = 0; i < count; ++i) {
        if (mkdirat(current, parts[i].c_str(), FolderMode) != 0 && errno != EEXIST) {
            const int reason = errno;
            if (current != folder_) close(current);
            errno = reason;
            systemFailure(joined(parts, i + 1), "cannot create the folder");
        }
        const int next = openat(current, parts[i].c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        const int reason = errno;
        if (current != folder_) close(current);
        if (next < 0) {
            if (reason == ELOOP || reason == ENOTDIR)
                throw ArchiveError(arcUnsafePath,
                                   joined(parts, parts.size()) + ": refused, " + joined(parts, i + 1) +
                                       " is a symbolic link or a file, not a folder");
            errno = reason;
            systemFailure(joined(parts, i + 1), "cannot open the folder");
        }
        current = next;
    }
    return current;
}

void Destination::makeFolders(const std::vector<std::string>& parts)
{
    const int folder = openFolder(parts, parts.size());
    if (folder != folder_) close(folder);
}

OutputFile Destination::createFile(const std::vector<std::string>& parts)
{
    const std::string path = joined(parts, parts.size());
    int folder = openFolder(parts, parts.size() - 1);
    // The file gets its own descriptor of the folder, which OutputFile closes.
    if (folder == folder_) folder = folder_ == AT_FDCWD ? AT_FDCWD : dup(folder_);
    const char* name = parts.back().c_str();
    struct stat existing {};
    if (fstatat(folder, name, &existing, AT_SYMLINK_NOFOLLOW) == 0) {
        const bool replaceable = S_ISREG(existing.st_mode);
        if (!replaceable || unlinkat(folder, name, 0) != 0) {
            if (folder != AT_FDCWD) close(folder);
            if (S_ISLNK(existing.st_mode))
                throw ArchiveError(arcUnsafePath, path + ": refused, a symbolic link of that name is in the way");
            throw ArchiveError(arcWriteFailed, path + ": cannot replace what is there");
        }
    }
    const int descriptor = openat(folder, name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, FileMode);
    if (descriptor < 0) {
        const int reason = errno;
        if (folder != AT_FDCWD) close(folder);
        errno = reason;
        systemFailure(path, "cannot create the file");
    }
    return OutputFile(folder, parts.back(), descriptor, path);
}
