// Builds one archiver command line word by word: every word is appended after a
// blank, so the line starts with one.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class TCmdOpt {
public:
    void Add(const std::string& word);
    // "-" + name + value in decimal; nothing for -1.
    void AddSwitch(const std::string& name, int8_t value);
    // The value in quotes, after the switch "-" + name (or name less its leading
    // blank, with no dash, when it starts with a blank); nothing when unset.
    void AddQuoted(const std::string& name, const std::string& value);
    // A folder, with a final "/" added when missing; nothing when empty or unset.
    void AddFolder(const std::string& name, const std::string& folder);
    void AddFileList(const std::string& name, const std::vector<std::string>& list);
    // Writes the names, quoted, one a line (CR LF), to a response file at path,
    // replacing it, and adds the quoted "@" + path. The file stays on disk.
    void WriteResponseFile(const std::vector<std::string>& list, const std::string& path);

    bool SeparateValue = false;
    std::function<std::string(const std::string&)> NameFilter;
    std::string CmdLine;

private:
    std::string filtered(const std::string& name) const { return NameFilter ? NameFilter(name) : name; }
};
