// Archives the arclib tests build themselves: tar and zip (also hostile ones) through
// libarchive's writer, and by hand what no free tool writes: a RAR with stored files
// and an LHA with a Shift-JIS name.
#pragma once

#include "support/scratch_folder.h"

#include <filesystem>
#include <string>
#include <vector>

enum class TestEntryType { file, folder, symlink, hardlink, device };

struct TestEntry {
    std::string name;  // stored as given, bytes unchanged
    std::string content;  // a file's data, or a link's target
    TestEntryType type = TestEntryType::file;
};

enum class TestFormat { tar, zip };

void writeArchive(const std::filesystem::path& path, TestFormat format, const std::vector<TestEntry>& entries);
// A RAR 4 archive of stored files.
std::string storedRar(const std::vector<TestEntry>& entries);
// An LHA archive with level 0 headers and lh0 (stored) files.
std::string storedLha(const std::vector<TestEntry>& entries);

std::string readFile(const std::filesystem::path& path);
// The committed fixtures and the package they hold.
std::filesystem::path fixtureFolder();
