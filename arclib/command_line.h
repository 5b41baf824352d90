// The command lines the archive drivers send: the command word, the switches that
// matter for unpacking, the quoted archive and destination folder, and the files
// named on the line or in an "@" response file. Each library describes its own
// syntax in a CommandSyntax.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

struct UnpackWord {
    const char* word;  // null for an unused slot
    bool keepFolders;  // whether stored folders are kept by default
};

struct CommandSyntax {
    std::array<UnpackWord, 2> unpackWords;
    // A switch followed by a digit: 0 drops stored folders, any other digit keeps them.
    const char* foldersSwitch;
    // A switch that drops stored folders.
    const char* dropFoldersSwitch;
    // Switches followed by a separate word holding the archive or the folder; without
    // them the archive is the first word that is no switch, and the folder the next
    // word ending in "/" or "\".
    const char* archiveSwitch;
    const char* folderSwitch;
};

struct Command {
    bool keepFolders = true;
    std::string archive;
    std::string folder;  // "" for the current folder
    std::vector<std::string> files;  // empty for every entry
};

// Raises ArchiveError: arcUnsupportedCommand for a command word that does not unpack,
// arcBadCommand for a line without an archive or with an unreadable response file.
Command parseCommand(std::string_view line, const CommandSyntax& syntax);
