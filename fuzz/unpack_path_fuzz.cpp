// Feeds arbitrary bytes to the unpack folder's path rules as the stored path of a
// listed entry. A path the rules take must stay inside the folder, and testing or
// deleting it there must never reach the file that lies beside the folder, nor the
// one a symbolic link in the folder points to.
#include "app/unpack_folder.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

struct Setup {
    Setup()
    {
        base = std::filesystem::temp_directory_path() / ("pomelune-unpack-path-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(base / "unpack/sub");
        std::filesystem::create_directories(base / "outside");
        std::ofstream(base / "beside") << "keep";
        std::ofstream(base / "outside/target") << "keep";
        std::error_code ignored;
        std::filesystem::create_directory_symlink(base / "outside", base / "unpack/link", ignored);
        std::filesystem::create_symlink(base / "outside/target", base / "unpack/alias", ignored);
        folder = (base / "unpack").string() + "/";
    }
    ~Setup()
    {
        std::error_code ignored;
        std::filesystem::remove_all(base, ignored);
    }

    std::filesystem::path base;
    std::string folder;
};

bool leaves(const std::string& relative)
{
    if (relative.empty() || relative.front() == '/' || relative.find('\\') != std::string::npos) return true;
    size_t start = 0;
    while (start <= relative.size()) {
        const size_t end = std::min(relative.find('/', start), relative.size());
        if (relative.compare(start, end - start, "..") == 0 && end - start == 2) return true;
        start = end + 1;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Setup setup;
    const std::string stored(reinterpret_cast<const char*>(data), size);
    const std::optional<std::string> inside = insidePath(stored);
    if (!inside) return 0;
    if (leaves(*inside) || inside->find('\0') != std::string::npos) __builtin_trap();
    std::ofstream(setup.folder + "sub/file") << "x";
    if (regularFileInside(setup.folder, *inside)) removeRegularFileInside(setup.folder, *inside);
    if (!std::filesystem::exists(setup.base / "beside") || !std::filesystem::exists(setup.base / "outside/target")) __builtin_trap();
    return 0;
}
