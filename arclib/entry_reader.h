// Reading an archive entry by entry, whatever its format: each entry's stored header,
// then its data in blocks. Damage raises ArchiveError with arcDamaged.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

enum class EntryKind { file, folder, link, other };

struct EntryHeader {
    std::string storedName;  // the name's bytes as stored
    EntryKind kind = EntryKind::file;
    std::optional<uint64_t> size;  // the size the header states, when it states one
    uint64_t compressedSize = 0;
    int64_t modified = 0;  // seconds since 1970
};

class EntryReader {
public:
    virtual ~EntryReader() = default;
    // The next entry's header; false after the last entry.
    virtual bool next(EntryHeader& header) = 0;
    // Up to buffer.size() bytes of the current entry's data; 0 at its end.
    virtual size_t read(std::span<char> buffer) = 0;
};
