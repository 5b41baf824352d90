// Files and folders: the program's folder, file ages, search paths, case-blind names, replacing files.
#include "platform/file_system.h"

#include "platform/text.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string_view>
#include <vector>

namespace fs = std::filesystem;

std::string executableFolder()
{
    std::error_code error;
    const auto exe = fs::read_symlink("/proc/self/exe", error);
    if (error) return fs::current_path(error).string();
    return exe.parent_path().string();
}

int32_t fileAge(const std::string& path)
{
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return -1;
    struct tm local {};
    if (localtime_r(&info.st_mtime, &local) && local.tm_year >= 80 && local.tm_year - 80 <= 127) {
        const auto packed = static_cast<uint32_t>(local.tm_year - 80) << 25 |
                            static_cast<uint32_t>(local.tm_mon + 1) << 21 | static_cast<uint32_t>(local.tm_mday) << 16 |
                            static_cast<uint32_t>(local.tm_hour) << 11 | static_cast<uint32_t>(local.tm_min) << 5 |
                            static_cast<uint32_t>(local.tm_sec / 2);
        return static_cast<int32_t>(packed);
    }
    // A time the packing cannot hold keeps the month field 0, which no packed time
    // has and -1 has not either; its 2-second steps since 1970 (modulo 2^28) fill
    // the other 28 bits, so a touched file still shows a new stamp.
    const auto steps = static_cast<uint32_t>(info.st_mtime >> 1) & 0x0FFFFFFFu;
    return static_cast<int32_t>((steps >> 21) << 25 | (steps & 0x1FFFFFu));
}

std::string fullPath(const std::string& path)
{
    std::error_code error;
    const auto absolute = fs::absolute(path, error);
    return error ? path : absolute.lexically_normal().string();
}

std::string searchSystemPath(const std::string& fileName)
{
    std::vector<std::string> folders{executableFolder(), "."};
    const char* searchPath = std::getenv("PATH");
    std::string_view rest = searchPath ? searchPath : "";
    while (!rest.empty()) {
        const std::string_view folder = rest.substr(0, rest.find(':'));
        if (!folder.empty()) folders.emplace_back(folder);
        rest.remove_prefix(std::min(rest.size(), folder.size() + 1));
    }
    for (const std::string& folder : folders) {
        const std::string candidate = folder + "/" + fileName;
        std::error_code error;
        if (fs::is_regular_file(candidate, error)) return fullPath(candidate);
    }
    return "";
}

std::string folderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

namespace {

bool exists(const std::string& path)
{
    std::error_code error;
    return fs::exists(path, error);
}

// A file name as compared by matchWithoutCase: as UTF-8 (decoded from CP932 when it
// is none), ASCII letters in lower case.
std::string nameKey(const std::string& name)
{
    std::string key = displayText(name);
    for (char& c : key)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return key;
}

}  // namespace

const PackagePathResolver::Listing& PackagePathResolver::listing(const std::string& folder)
{
    const auto [at, added] = listings_.try_emplace(folder);
    if (added) {
        std::error_code error;
        // The first entry of each key wins, as a search in listing order would find it.
        for (const auto& entry : fs::directory_iterator(folder, error)) {
            const std::string name = entry.path().filename().string();
            at->second.try_emplace(nameKey(name), name);
        }
    }
    return at->second;
}

// Each component of path looked up in its folder by its name key.
std::string PackagePathResolver::matchWithoutCase(const std::string& path)
{
    fs::path found = path.starts_with("/") ? fs::path("/") : fs::path(".");
    for (const auto& part : fs::path(path).relative_path()) {
        const std::string name = part.string();
        if (!exists((found / name).string())) {
            const Listing& entries = listing(found.string());
            const auto match = entries.find(nameKey(name));
            if (match == entries.end()) return "";
            found /= match->second;
        } else {
            found /= name;
        }
    }
    return path.starts_with("/") ? found.string() : found.lexically_relative(".").string();
}

std::string PackagePathResolver::resolve(const std::string& path)
{
    if (path.empty() || exists(path)) return path;
    const std::string decoded = cp932ToUtf8(path);
    if (exists(decoded)) return decoded;
    const std::string matched = matchWithoutCase(path);
    return matched.empty() ? path : matched;
}

std::string resolvePackagePath(const std::string& path) { return PackagePathResolver().resolve(path); }

int replaceFile(const std::string& path, std::string_view bytes)
{
    const std::string name = fs::path(path).filename().string();
    std::string temporary = folderOf(path) + "/." + name + ".XXXXXX";
    // mkstemp creates a new file (O_EXCL): it never opens what is already there.
    const int descriptor = mkstemp(temporary.data());
    if (descriptor < 0) return errno;
    const mode_t mask = umask(0);
    umask(mask);
    int error = fchmod(descriptor, 0666 & ~mask) == 0 ? 0 : errno;
    for (size_t done = 0; error == 0 && done < bytes.size();) {
        const ssize_t written = write(descriptor, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno != EINTR) error = errno;
        if (written > 0) done += static_cast<size_t>(written);
    }
    if (close(descriptor) != 0 && error == 0) error = errno;
    if (error == 0 && rename(temporary.c_str(), path.c_str()) != 0) error = errno;
    if (error != 0) unlink(temporary.c_str());
    return error;
}
