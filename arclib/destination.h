// The folder entries are unpacked into. Everything below it is reached through real
// folders only: a part of an entry's path that is a symbolic link or a file stops the
// entry, so nothing is written outside the folder.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// A file being written; removed again unless finish() is called.
class OutputFile {
public:
    OutputFile(int folder, std::string name, int descriptor, std::string path);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Raises ArchiveError with arcWriteFailed.
    void write(std::span<const char> data);
    // Keeps the file, with the modification time given (seconds since 1970; 0 keeps now).
    void finish(int64_t modified);

private:
    int folder_;
    std::string name_;
    int descriptor_;
    std::string path_;
};

class Destination {
public:
    // Opens the folder ("" is the current folder), creating it and its parents.
    // Raises ArchiveError with arcWriteFailed when it cannot.
    explicit Destination(const std::string& folder);
    ~Destination();
    Destination(const Destination&) = delete;
    Destination& operator=(const Destination&) = delete;

    // Creates the folders of parts below the destination.
    void makeFolders(const std::vector<std::string>& parts);
    // A new file at parts (its folders created first), replacing a file of that name.
    // Raises ArchiveError: arcUnsafePath when a part is a symbolic link or not a folder,
    // arcWriteFailed when the system refuses.
    OutputFile createFile(const std::vector<std::string>& parts);

private:
    // The descriptor of the folder holding parts[0 .. count), created as needed; the
    // caller closes it unless it is the destination's own.
    int openFolder(const std::vector<std::string>& parts, size_t count);

    int folder_;
};
