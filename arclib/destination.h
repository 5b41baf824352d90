// The folder entries are unpacked into. Everything below it is reached through real
// folders only: a part of an entry's path that is a symbolic link or a file stops the
// entry, so nothing is written outside the folder.
#pragma once

#include "platform/safe_path.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// A file being written; removed again unless finish() is called.
class OutputFile {
public:
    OutputFile(FileDescriptor folder, std::string name, FileDescriptor file, std::string path);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Raises ArchiveError with arcWriteFailed.
    void write(std::span<const char> data);
    // Keeps the file, with the modification time given (seconds since 1970; 0 keeps now).
    void finish(int64_t modified);

private:
    FileDescriptor folder_;
    std::string name_;
    FileDescriptor file_;
    std::string path_;
};

class Destination {
public:
    // Opens the folder ("" is the current folder), creating it and its parents.
    // Raises ArchiveError with arcWriteFailed when it cannot.
    explicit Destination(const std::string& folder);

    // Creates the folders of parts below the destination.
    void makeFolders(const std::vector<std::string>& parts);
    // A new file at parts (its folders created first), replacing a file of that name.
    // Raises ArchiveError: arcUnsafePath when a part is a symbolic link or not a folder,
    // arcWriteFailed when the system refuses.
    OutputFile createFile(const std::vector<std::string>& parts);

private:
    // The folder holding parts[0 .. count), created as needed.
    FileDescriptor openFolder(const std::vector<std::string>& parts, size_t count) const;
    // The destination's descriptor, or the current folder's.
    int at() const;

    FileDescriptor root_;  // invalid for the current folder
};
