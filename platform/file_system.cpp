#include "platform/file_system.h"

#include "platform/text.h"

#include <sys/stat.h>

#include <algorithm>
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
    if (!localtime_r(&info.st_mtime, &local) || local.tm_year < 80) return -1;
    const auto packed = static_cast<uint32_t>(local.tm_year - 80) << 25 | static_cast<uint32_t>(local.tm_mon + 1) << 21 |
                        static_cast<uint32_t>(local.tm_mday) << 16 | static_cast<uint32_t>(local.tm_hour) << 11 |
                        static_cast<uint32_t>(local.tm_min) << 5 | static_cast<uint32_t>(local.tm_sec / 2);
    return static_cast<int32_t>(packed);
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
    if (slash == std::string::npos) return "";
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

// Each component of path looked up in its folder with nameKey.
std::string matchWithoutCase(const std::string& path)
{
    fs::path found = path.starts_with("/") ? fs::path("/") : fs::path(".");
    for (const auto& part : fs::path(path).relative_path()) {
        const std::string name = part.string();
        if (exists((found / name).string())) {
            found /= name;
            continue;
        }
        const std::string wanted = nameKey(name);
        std::error_code error;
        bool matched = false;
        for (const auto& entry : fs::directory_iterator(found, error)) {
            if (nameKey(entry.path().filename().string()) == wanted) {
                found = entry.path();
                matched = true;
                break;
            }
        }
        if (!matched) return "";
    }
    return path.starts_with("/") ? found.string() : found.lexically_relative(".").string();
}

}  // namespace

std::string resolvePackagePath(const std::string& path)
{
    if (path.empty() || exists(path)) return path;
    const std::string decoded = cp932ToUtf8(path);
    if (exists(decoded)) return decoded;
    const std::string matched = matchWithoutCase(path);
    return matched.empty() ? path : matched;
}
