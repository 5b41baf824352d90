// Stored paths taken below a folder, and folder walks that never follow a symbolic
// link: the one rule the unpack folder and the archiver libraries both apply.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

// Owns an open file descriptor and closes it when it leaves scope.
class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) noexcept : fd_(fd) {}
    ~FileDescriptor();
    FileDescriptor(FileDescriptor&& other) noexcept;
    FileDescriptor& operator=(FileDescriptor&& other) noexcept;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Gives the descriptor up to the caller, who closes it.
    int release() noexcept;

private:
    int fd_ = -1;
};

// Why a stored path cannot be taken below a folder.
enum class StoredPathFault { none, absolute, nulByte, leadsOut, noName };

struct StoredPath {
    std::vector<std::string> parts;  // the folders and the file name; empty when refused
    StoredPathFault fault = StoredPathFault::none;
};

// The parts of a stored path below a folder: "/" and "\" both separate, and empty
// and "." parts are dropped. Refused when it is absolute (a leading separator or a
// drive letter; also an empty path), holds a NUL byte, has a ".." part or names
// nothing but "." parts.
StoredPath storedPathParts(std::string_view stored);

// Where a folder walk stopped.
struct WalkStop {
    size_t part = 0;  // the part that could not be made or opened
    int error = 0;  // the errno of that step
    bool making = false;  // making the missing folder failed, not opening it
    // Opening found a symbolic link or a file where a folder should be.
    bool blocked() const;
};

enum class MissingFolders { fail, make };

// Opens the folder reached from the folder at (a descriptor, or the current folder's
// AT_FDCWD) through parts, never following a symbolic link; with MissingFolders::make
// each missing folder is made first, with mode 0755. No parts open at itself again.
// An invalid descriptor, with stop filled in, when a step fails.
FileDescriptor walkFolders(int at, std::span<const std::string> parts, MissingFolders missing, WalkStop& stop);

// Whether parts (from storedPathParts) name a regular file reached from folder
// without passing a symbolic link.
bool regularFileBelow(const std::string& folder, std::span<const std::string> parts);
// Deletes parts (from storedPathParts) when they name a regular file reached from
// folder without passing a symbolic link; anything else stays. Failures are ignored.
void removeRegularFileBelow(const std::string& folder, std::span<const std::string> parts);

// Makes the folder with mode 0700 when it is missing (name in the folder at, or a
// path from the current folder) and opens it without following a link, closing it
// to other users when it is open to them. Invalid when it is a symbolic link, no
// folder or someone else's.
FileDescriptor openPrivateFolder(const std::string& path);
FileDescriptor openPrivateFolderAt(const FileDescriptor& at, const std::string& name);

// Whether path is a folder of the current user's, not a symbolic link.
bool isOwnFolder(const std::string& path);
