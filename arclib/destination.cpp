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

constexpr mode_t FileMode = 0644;

std::string joined(const std::vector<std::string>& parts, size_t count)
{
    std::string path;
    for (size_t i = 0; i < count; ++i) path += (i ? "/" : "") + parts[i];
    return path;
}

[[noreturn]] void systemFailure(const std::string& path, const char* what, int error = errno)
{
    throw ArchiveError(arcWriteFailed, path + ": " + what + ": " + std::strerror(error));
}

}  // namespace

OutputFile::OutputFile(FileDescriptor folder, std::string name, FileDescriptor file, std::string path)
        : folder_(std::move(folder)),
          name_(std::move(name)),
          file_(std::move(file)),
          path_(std::move(path))
{
}

OutputFile::~OutputFile()
{
    if (file_.valid()) {
        file_ = FileDescriptor();
        unlinkat(folder_.get(), name_.c_str(), 0);
    }
}

void OutputFile::write(std::span<const char> data)
{
    while (!data.empty()) {
        const ssize_t written = ::write(file_.get(), data.data(), data.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) systemFailure(path_, "cannot write");
        data = data.subspan(static_cast<size_t>(written));
    }
}

void OutputFile::finish(int64_t modified)
{
    if (modified != 0) {
        const timespec times[2] = {{0, UTIME_OMIT}, {static_cast<time_t>(modified), 0}};
        futimens(file_.get(), times);
    }
    if (close(file_.release()) != 0) {
        unlinkat(folder_.get(), name_.c_str(), 0);
        systemFailure(path_, "cannot write");
    }
}

Destination::Destination(const std::string& folder)
{
    if (folder.empty()) return;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    root_ = FileDescriptor(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!root_.valid()) systemFailure(folder, "cannot open the destination folder");
}

int Destination::at() const { return root_.valid() ? root_.get() : AT_FDCWD; }

FileDescriptor Destination::openFolder(const std::vector<std::string>& parts, size_t count) const
{
    WalkStop stop;
    FileDescriptor folder = walkFolders(at(), std::span(parts).first(count), MissingFolders::make, stop);
    if (folder.valid()) return folder;
    const std::string reached = joined(parts, stop.part + 1);
    if (stop.making) systemFailure(reached, "cannot create the folder", stop.error);
    if (stop.blocked())
        throw ArchiveError(arcUnsafePath, joined(parts, parts.size()) + ": refused, " + reached +
                                              " is a symbolic link or a file, not a folder");
    systemFailure(reached, "cannot open the folder", stop.error);
}

void Destination::makeFolders(const std::vector<std::string>& parts) { openFolder(parts, parts.size()); }

OutputFile Destination::createFile(const std::vector<std::string>& parts)
{
    const std::string path = joined(parts, parts.size());
    // The file gets its own descriptor of the folder, which OutputFile keeps.
    FileDescriptor folder = openFolder(parts, parts.size() - 1);
    const char* name = parts.back().c_str();
    struct stat existing {};
    if (fstatat(folder.get(), name, &existing, AT_SYMLINK_NOFOLLOW) == 0) {
        if (!S_ISREG(existing.st_mode) || unlinkat(folder.get(), name, 0) != 0) {
            if (S_ISLNK(existing.st_mode))
                throw ArchiveError(arcUnsafePath, path + ": refused, a symbolic link of that name is in the way");
            throw ArchiveError(arcWriteFailed, path + ": cannot replace what is there");
        }
    }
    FileDescriptor file(openat(folder.get(), name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, FileMode));
    if (!file.valid()) systemFailure(path, "cannot create the file");
    return OutputFile(std::move(folder), parts.back(), std::move(file), path);
}
