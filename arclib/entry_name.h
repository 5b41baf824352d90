// Entry names: the stored bytes as UTF-8, the path below the destination an entry
// may be written to, and wildcard matching.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Names that are valid UTF-8 stay as they are; any other name is Shift-JIS (CP932).
std::string utf8EntryName(std::string_view stored);

// The folders and file name of an entry below the destination, by storedPathParts.
// Raises ArchiveError with arcUnsafePath, saying why, for a path it refuses.
std::vector<std::string> relativeParts(const std::string& name);

// Whether name matches the wildcard: "*" any run of characters, "?" any one, and
// with bracketClasses "[...]" one of a set ("[!...]" none of it). ASCII letters match
// either case; "/" and "\" match each other. "*.*" matches every name.
bool matchesWildcard(std::string_view wildcard, std::string_view name, bool bracketClasses);
