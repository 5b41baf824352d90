// Listing an archive for OpenArchive, FindFirst and FindNext, and checking it.
#include "arclib/listing.h"

#include "arclib/archive_error.h"
#include "arclib/entry_name.h"

#include <array>
#include <cstring>
#include <ctime>

namespace {

// More entries than any package holds; a listing stops here rather than grow on.
constexpr size_t MaxEntries = 100000;
constexpr size_t CheckBlockSize = 64 * 1024;
// A check reads no further than an unpacking writes.
constexpr uint64_t MaxCheckedBytes = uint64_t{1} << 30;

// The name cut to the record's field at a character boundary, zero-terminated.
void copyName(char (&field)[FNAME_MAX32 + 1], const std::string& name)
{
    size_t size = std::min(name.size(), FNAME_MAX32);
    while (size > 0 && size < name.size() && (static_cast<unsigned char>(name[size]) & 0xC0) == 0x80) --size;
    std::memcpy(field, name.data(), size);
    field[size] = '\0';
}

void setDosTime(INDIVIDUALINFO& record, int64_t modified)
{
    const auto seconds = static_cast<time_t>(modified);
    std::tm local{};
    if (modified <= 0 || !localtime_r(&seconds, &local) || local.tm_year < 80) return;
    record.wDate = static_cast<uint16_t>(((local.tm_year - 80) << 9) | ((local.tm_mon + 1) << 5) | local.tm_mday);
    record.wTime = static_cast<uint16_t>((local.tm_hour << 11) | (local.tm_min << 5) | (local.tm_sec / 2));
}

uint32_t clamped(uint64_t value) { return static_cast<uint32_t>(std::min<uint64_t>(value, UINT32_MAX)); }

}  // namespace

Listing::Listing(const ArchiveFormat& format, const std::string& path) : bracketClasses_(format.bracketClasses)
{
    const auto reader = format.open(path);
    EntryHeader header;
    try {
        while (entries_.size() < MaxEntries && reader->next(header))
            entries_.push_back(
                {utf8EntryName(header.storedName), header.size.value_or(0), header.compressedSize, header.modified});
    } catch (const ArchiveError&) {
        // A damaged entry ends the listing; the entries before it stay listed.
    }
}

int Listing::findFirst(const std::string& wildcard, INDIVIDUALINFO& record)
{
    wildcard_ = wildcard.empty() ? "*" : wildcard;
    next_ = 0;
    return findNext(record);
}

int Listing::findNext(INDIVIDUALINFO& record)
{
    while (next_ < entries_.size()) {
        const ListedEntry& entry = entries_[next_++];
        if (!matchesWildcard(wildcard_, entry.name, bracketClasses_)) continue;
        record = INDIVIDUALINFO{};
        record.dwOriginalSize = clamped(entry.size);
        record.dwCompressedSize = clamped(entry.compressedSize);
        if (entry.size > 0)
            record.wRatio = static_cast<uint16_t>(std::min<uint64_t>(entry.compressedSize * 1000 / entry.size, 1000));
        setDosTime(record, entry.modified);
        copyName(record.szFileName, entry.name);
        return 0;
    }
    return -1;
}

bool readsThrough(const ArchiveFormat& format, const std::string& path)
{
    try {
        const auto reader = format.open(path);
        EntryHeader header;
        std::array<char, CheckBlockSize> block;
        uint64_t total = 0;
        while (reader->next(header)) {
            uint64_t size = 0;
            for (size_t count; (count = reader->read(block)) > 0;) {
                size += count;
                total += count;
                if (total > MaxCheckedBytes) return false;
            }
            if (header.size && size != *header.size && header.kind == EntryKind::file) return false;
        }
        return true;
    } catch (const ArchiveError&) {
        return false;
    }
}
