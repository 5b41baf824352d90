// The listing behind an OpenArchive handle: every entry's name (as UTF-8) and sizes,
// read when the archive is opened, handed out one by one through a wildcard.
#pragma once

#include "arclib/archive_format.h"
#include "platform/archiver_contract.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct ListedEntry {
    std::string name;
    uint64_t size = 0;
    uint64_t compressedSize = 0;
    int64_t modified = 0;
};

class Listing {
public:
    // Raises ArchiveError with arcCannotOpen when the file is not of the format.
    Listing(const ArchiveFormat& format, const std::string& path);

    // 0 with the first (next) entry the wildcard matches written into record; -1 when
    // there is none.
    int findFirst(const std::string& wildcard, INDIVIDUALINFO& record);
    int findNext(INDIVIDUALINFO& record);

    const std::vector<ListedEntry>& entries() const { return entries_; }

private:
    bool bracketClasses_;
    std::vector<ListedEntry> entries_;
    std::string wildcard_;
    size_t next_ = 0;
};

// Whether the whole archive, data included, reads without an error.
bool readsThrough(const ArchiveFormat& format, const std::string& path);
