// The private folder archives are unpacked into, and the safe use of the paths an
// archive's listing names inside it: nothing named by a listing leads out of the
// folder, through a symbolic link, or to anything but a regular file.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The unpack folder of the running program, ending in "/": a folder named by its
// process id in the user's shared one, so that two programs never remove each
// other's files. The shared folder is "pomelune-qptemp" in $XDG_RUNTIME_DIR when
// that is the absolute path of a folder of the user's (no symbolic link), else
// "pomelune-qptemp-<user id>" in the temporary folder.
std::string unpackFolderPath();
// The unpack folder of the program with that process id.
std::string unpackFolderPath(int processId);

// Makes the folder's parent, then the folder inside it, each with mode 0700 when
// it is missing, and closes either to other users when it is open to them; raises
// an error when either is a symbolic link, no folder or someone else's.
void preparePrivateFolder(const std::string& folder);

// A stored path of a listing as a path relative to the unpack folder, with "\"
// turned into "/"; nullopt when storedPathParts refuses it.
std::optional<std::string> insidePath(std::string_view stored);

// Whether relative (from insidePath) names a regular file reached from folder
// without passing a symbolic link.
bool regularFileInside(const std::string& folder, const std::string& relative);

// Deletes relative (from insidePath) when it is a regular file reached from folder
// without passing a symbolic link; anything else stays. Failures are ignored.
void removeRegularFileInside(const std::string& folder, const std::string& relative);
