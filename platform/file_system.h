// File-system services of the platform.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

// The folder of the running executable, without a final "/".
std::string executableFolder();

// The file's last-write time as a packed local date and time (bits 25-31 year
// since 1980, 21-24 month, 16-20 day, 11-15 hour, 5-10 minute, 0-4 seconds / 2);
// -1 when the file does not exist. A time before 1980 or after 2107 gives month 0
// and its 2-second steps since 1970, modulo 2^28, in the other bits (25-31 the
// high 7, 0-20 the low 21): never -1 nor a packed time, and distinct for any two
// 2-second steps less than about 17 years apart.
int32_t fileAge(const std::string& path);

// The full path of a path taken from the current folder, with "." and ".." parts
// resolved; the path as given when the current folder cannot be read.
std::string fullPath(const std::string& path);

// The full path of the first file of that name in the executable's folder, the
// current folder, then each folder of PATH; "" when none has it.
std::string searchSystemPath(const std::string& fileName);

// The folder part of a path, without its final "/" ("." for a bare name, which
// lies in the current folder).
std::string folderOf(const std::string& path);

// Finds a file named by a package, which was written on a case-insensitive file
// system in Shift-JIS: the path as given; else its CP932 bytes decoded to UTF-8;
// else each component matched without regard to ASCII letter case in its folder.
// Returns the first of these that exists, or the path as given when none does.
// A resolver reads each folder's listing at most once in its life: one serves one
// load of a definition, however many of its lines name missing files.
class PackagePathResolver {
public:
    std::string resolve(const std::string& path);

private:
    using Listing = std::unordered_map<std::string, std::string>;  // name key -> entry name
    const Listing& listing(const std::string& folder);
    std::string matchWithoutCase(const std::string& path);

    std::unordered_map<std::string, Listing> listings_;
};
// resolve of a resolver of its own.
std::string resolvePackagePath(const std::string& path);

// Writes bytes to a new file in path's folder and renames it to path, so a reader
// never sees half a file and whatever stood at path (a symbolic link, a FIFO) is
// replaced, never followed or opened. Returns 0, or the errno of the step that
// failed (the new file is then removed and path left as it was).
int replaceFile(const std::string& path, std::string_view bytes);
