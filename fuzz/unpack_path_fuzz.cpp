// Feeds arbitrary bytes to the stored-path rule as the path of a listed entry. The
// parts of a path the rule takes must stay inside the folder, and testing or
// deleting it there must never reach the file that lies beside the folder, nor the
// one a symbolic link in the folder points to.
#include "platform/safe_path.h"

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

// Whether a part could lead anywhere but one step down.
bool leaves(const std::string& part)
{
    return part.empty() || part == "." || part == ".." ||
           part.find_first_of(std::string("/\\\0", 3)) != std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Setup setup;
    const std::string stored(reinterpret_cast<const char*>(data), size);
    const StoredPath path = storedPathParts(stored);
    if (path.fault != StoredPathFault::none) return 0;
    if (path.parts.empty()) __builtin_trap();
    for (const std::string& part : path.parts)
        if (leaves(part)) __builtin_trap();
    std::ofstream(setup.folder + "sub/file") << "x";
    if (regularFileBelow(setup.folder, path.parts)) removeRegularFileBelow(setup.folder, path.parts);
    if (!std::filesystem::exists(setup.base / "beside") || !std::filesystem::exists(setup.base / "outside/target"))
        __builtin_trap();
    return 0;
}
