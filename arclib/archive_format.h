// The archive formats the libraries read, one table each: how a file is opened as
// that format and how its wildcards read.
#pragma once

#include "arclib/entry_reader.h"

#include <memory>
#include <string>

struct ArchiveFormat {
    const char* name;
    // A reader of the file as this format; raises ArchiveError with arcCannotOpen
    // when the file cannot be read or is not of this format.
    std::unique_ptr<EntryReader> (*open)(const std::string& path);
    // Whether "[...]" in a wildcard is a character class (ZIP file lists send a
    // literal "[" as "[[]"); otherwise it is an ordinary character.
    bool bracketClasses;
};

extern const ArchiveFormat lhaFormat;
extern const ArchiveFormat zipFormat;
extern const ArchiveFormat cabFormat;
extern const ArchiveFormat tarFormat;
extern const ArchiveFormat rarFormat;
extern const ArchiveFormat arjFormat;

// For the tar library: 1 plain tar, 2 tar with gzip, 3 tar with compress, 6 tar with
// bzip2, 0 anything else.
int tarArchiveType(const std::string& path);
