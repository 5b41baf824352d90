// Loading libraries by their Windows names through dlopen, once per process, and finding their entries.
#include "platform/dynamic_library.h"

#include "platform/file_system.h"

#include <dlfcn.h>
#include <link.h>

#include <map>
#include <memory>

struct LoadedLibrary {
    void* handle;
    std::string path;
};

namespace {

// The libraries loaded so far, by their platform file names.
std::map<std::string, std::unique_ptr<LoadedLibrary>>& loadedLibraries()
{
    static std::map<std::string, std::unique_ptr<LoadedLibrary>> libraries;
    return libraries;
}

// The path the system loader took the library from.
std::string loadedPath(void* handle)
{
    link_map* map = nullptr;
    if (dlinfo(handle, RTLD_DI_LINKMAP, &map) != 0 || !map) return "";
    return map->l_name;
}

}  // namespace

std::string platformLibraryName(const std::string& windowsName)
{
    std::string stem = windowsName.substr(0, windowsName.rfind('.'));
    for (char& c : stem)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return "lib" + stem + ".so";
}

LoadedLibrary* loadLibrary(const std::string& windowsName)
{
    const std::string fileName = platformLibraryName(windowsName);
    auto& libraries = loadedLibraries();
    if (const auto found = libraries.find(fileName); found != libraries.end()) return found->second.get();
    void* handle = dlopen((executableFolder() + "/" + fileName).c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) handle = dlopen(fileName.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) return nullptr;
    auto library = std::make_unique<LoadedLibrary>(LoadedLibrary{handle, loadedPath(handle)});
    return libraries.emplace(fileName, std::move(library)).first->second.get();
}

void* findLibraryEntry(LoadedLibrary* library, const char* name)
{
    return library ? dlsym(library->handle, name) : nullptr;
}

std::string libraryPath(const LoadedLibrary* library) { return library ? library->path : ""; }

void freeLibrary(LoadedLibrary* library)
{
    if (!library) return;
    dlclose(library->handle);
    std::erase_if(loadedLibraries(), [library](const auto& entry) { return entry.second.get() == library; });
}
