// Reading the drivers' command lines.
#include "arclib/command_line.h"

#include "arclib/archive_error.h"

#include <cctype>
#include <fstream>
#include <strings.h>

namespace {

struct Word {
    std::string text;
    bool quoted = false;
};

// Words split at blanks outside double quotes, with the quotes removed.
std::vector<Word> splitWords(std::string_view line)
{
    std::vector<Word> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && line[i] == ' ') ++i;
        if (i == line.size()) break;
        Word word;
        bool inQuotes = false;
        for (; i < line.size() && (inQuotes || line[i] != ' '); ++i) {
            if (line[i] == '"') {
                inQuotes = !inQuotes;
                word.quoted = true;
            } else {
                word.text += line[i];
            }
        }
        words.push_back(std::move(word));
    }
    return words;
}

bool same(const std::string& text, const char* word) { return word && strcasecmp(text.c_str(), word) == 0; }

bool endsInSeparator(const std::string& text) { return !text.empty() && (text.back() == '/' || text.back() == '\\'); }

// The names a response file lists, one a line, quotes removed.
void readResponseFile(const std::string& path, std::vector<std::string>& files)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) throw ArchiveError(arcBadCommand, "cannot read the response file " + path);
    std::string line;
    while (std::getline(file, line)) {
        for (const Word& word : splitWords(line.substr(0, line.find('\r'))))
            if (!word.text.empty()) files.push_back(word.text);
    }
}

std::string offeredWords(const CommandSyntax& syntax)
{
    std::string words;
    for (const UnpackWord& unpack : syntax.unpackWords)
        if (unpack.word) words += (words.empty() ? "" : " or ") + std::string(unpack.word);
    return words;
}

}  // namespace

Command parseCommand(std::string_view line, const CommandSyntax& syntax)
{
    const std::vector<Word> words = splitWords(line);
    if (words.empty()) throw ArchiveError(arcBadCommand, "no command given");
    Command command;
    bool unpacks = false;
    for (const UnpackWord& unpack : syntax.unpackWords) {
        if (same(words[0].text, unpack.word)) {
            unpacks = true;
            command.keepFolders = unpack.keepFolders;
        }
    }
    if (!unpacks)
        throw ArchiveError(arcUnsupportedCommand, "the command \"" + words[0].text +
                                                      "\" is not offered: this library only unpacks, with " +
                                                      offeredWords(syntax));

    bool archiveGiven = false;
    bool folderGiven = false;
    for (size_t i = 1; i < words.size(); ++i) {
        const std::string& text = words[i].text;
        const bool hasValue = i + 1 < words.size();
        if (hasValue && same(text, syntax.archiveSwitch)) {
            command.archive = words[++i].text;
            archiveGiven = true;
        } else if (hasValue && same(text, syntax.folderSwitch)) {
            command.folder = words[++i].text;
            folderGiven = true;
        } else if (text.starts_with('-') && (!archiveGiven || syntax.archiveSwitch)) {
            if (syntax.foldersSwitch && text.size() == std::string_view(syntax.foldersSwitch).size() + 1 &&
                strncasecmp(text.c_str(), syntax.foldersSwitch, text.size() - 1) == 0 &&
                std::isdigit(static_cast<unsigned char>(text.back())))
                command.keepFolders = text.back() != '0';
            else if (same(text, syntax.dropFoldersSwitch))
                command.keepFolders = false;
        } else if (text.empty() && !words[i].quoted) {
            continue;
        } else if (!archiveGiven) {
            command.archive = text;
            archiveGiven = true;
        } else if (!folderGiven && command.files.empty() && endsInSeparator(text)) {
            command.folder = text;
            folderGiven = true;
        } else if (text.starts_with('@') && text.size() > 1) {
            readResponseFile(text.substr(1), command.files);
        } else if (!text.empty()) {
            command.files.push_back(text);
        }
    }
    if (command.archive.empty()) throw ArchiveError(arcBadCommand, "no archive named on the command line");
    return command;
}
