// Libraries loaded at run time by their Windows names. A name maps to the platform's
// file name (lower-case stem, "lib" prefix, ".so" suffix: UNLHA32.DLL is
// libunlha32.so), which is looked up in the executable's folder first, then by the
// system loader. A library is loaded once per process: loading it again gives the
// same handle until it is freed.
#pragma once

#include <string>

// A loaded library.
struct LoadedLibrary;

// The platform's file name for a library's Windows name.
std::string platformLibraryName(const std::string& windowsName);

// The library of that Windows name, loaded unless it is loaded already; null when
// it cannot be loaded.
LoadedLibrary* loadLibrary(const std::string& windowsName);
// The entry of that name; null when the library (or the null library) lacks it.
void* findLibraryEntry(LoadedLibrary* library, const char* name);
// The full file name the library was loaded from ("" for the null library).
std::string libraryPath(const LoadedLibrary* library);
// Unloads the library; its handle and entries are no longer valid. Null is ignored.
void freeLibrary(LoadedLibrary* library);
