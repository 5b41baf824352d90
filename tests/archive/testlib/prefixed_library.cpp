// A stand-in archiver library whose entries carry the prefix LIBRARY_PREFIX; each entry
// records what it receives. It opens a file holding the prefix's text anywhere, lists two
// entries (or those a test sets), and an extract command writes the set entries' content.
#include "platform/archiver_contract.h"
#include "support/recorded.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <vector>

#define PASTE(prefix, name) prefix##name
#define ENTRY(prefix, name) PASTE(prefix, name)
#define TEXT(prefix) #prefix
#define STRING(prefix) TEXT(prefix)

namespace {

struct Entry {
    std::string name;
    std::optional<std::string> content;
};

const std::vector<Entry> OwnEntries = {{"pomelune.chP", std::nullopt}, {"cg/pomelune.bmp", std::nullopt}};
const HARC OpenHandle = 0x5eed;

RecordedCommand lastCommand;
RecordedCalls calls;
std::vector<Entry> entries = OwnEntries;
size_t nextEntry = 0;

int nextListed(INDIVIDUALINFO* record)
{
    if (nextEntry == entries.size()) return -1;
    std::snprintf(record->szFileName, sizeof record->szFileName, "%s", entries[nextEntry++].name.c_str());
    return 0;
}

// For "e" or "x", writes the entries with content under the line's last quoted text,
// with "\" taken as a folder separator.
void extract(const std::string& commandLine)
{
    if (commandLine.rfind("e ", 0) != 0 && commandLine.rfind("x ", 0) != 0) return;
    const size_t close = commandLine.rfind('"');
    const size_t open =
        close == std::string::npos || close == 0 ? std::string::npos : commandLine.rfind('"', close - 1);
    if (open == std::string::npos) return;
    const std::filesystem::path folder = commandLine.substr(open + 1, close - open - 1);
    for (const Entry& entry : entries) {
        if (!entry.content) continue;
        std::string name = entry.name;
        std::replace(name.begin(), name.end(), '\\', '/');
        std::error_code error;
        std::filesystem::create_directories((folder / name).parent_path(), error);
        std::ofstream(folder / name, std::ios::binary) << *entry.content;
    }
}

}  // namespace

extern "C" {

int LIBRARY_PREFIX(HWND window, const char* commandLine, char* output, uint32_t size)
{
    lastCommand = {window, commandLine, output == nullptr, size};
    if (output) std::snprintf(output, size, "%s: done", STRING(LIBRARY_PREFIX));
    extract(commandLine);
    return 0;
}

HARC ENTRY(LIBRARY_PREFIX, OpenArchive)(HWND window, const char* archive, uint32_t mode)
{
    calls.openWindow = window;
    calls.openArchive = archive;
    calls.openMode = mode;
    std::ifstream file(archive, std::ios::binary);
    const std::string text(std::istreambuf_iterator<char>(file), {});
    return text.find(STRING(LIBRARY_PREFIX)) != std::string::npos ? OpenHandle : 0;
}

int ENTRY(LIBRARY_PREFIX, CloseArchive)(HARC)
{
    ++calls.closeCount;
    return 0;
}

int ENTRY(LIBRARY_PREFIX, FindFirst)(HARC handle, const char*, INDIVIDUALINFO* record)
{
    nextEntry = 0;
    return handle == OpenHandle ? nextListed(record) : -1;
}

int ENTRY(LIBRARY_PREFIX, FindNext)(HARC handle, INDIVIDUALINFO* record)
{
    return handle == OpenHandle ? nextListed(record) : -1;
}

const RecordedCommand* ENTRY(LIBRARY_PREFIX, TestLastCommand)() { return &lastCommand; }

RecordedCalls* ENTRY(LIBRARY_PREFIX, TestCalls)() { return &calls; }

void ENTRY(LIBRARY_PREFIX, TestSetEntries)(const ListedEntry* listed, size_t count)
{
    entries = listed ? std::vector<Entry>() : OwnEntries;
    for (size_t i = 0; listed && i < count; ++i)
        entries.push_back({listed[i].name, listed[i].content ? std::optional<std::string>(
                                                                   std::string(listed[i].content, listed[i].size))
                                                             : std::nullopt});
}
}
