// Archives built by the arclib tests.
#include "support/test_archives.h"

#include <archive.h>
#include <archive_entry.h>
#include <sys/sysmacros.h>
#include <zlib.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

constexpr time_t FixedTime = 1700000000;
constexpr uint32_t DosTime = 0x58210000;  // a DOS date and time both formats store
// By TestEntryType: a hard link is a file entry naming its target.
constexpr unsigned FileTypes[] = {AE_IFREG, AE_IFDIR, AE_IFLNK, AE_IFREG, AE_IFCHR};

// Little-endian fields of two and four bytes.
void put(std::string& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) out += static_cast<char>(value >> (8 * i) & 0xFF);
}

uint32_t crc32Of(const std::string& bytes)
{
    return static_cast<uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
}

}  // namespace

void writeArchive(const fs::path& path, TestFormat format, const std::vector<TestEntry>& entries)
{
    archive* a = archive_write_new();
    if (format == TestFormat::zip)
        archive_write_set_format_zip(a);
    else
        archive_write_set_format_ustar(a);
    if (archive_write_open_filename(a, path.c_str()) != ARCHIVE_OK) throw std::runtime_error(archive_error_string(a));
    for (const TestEntry& item : entries) {
        archive_entry* entry = archive_entry_new();
        archive_entry_copy_pathname(entry, item.name.c_str());
        archive_entry_set_mtime(entry, FixedTime, 0);
        archive_entry_set_filetype(entry, FileTypes[static_cast<int>(item.type)]);
        archive_entry_set_perm(entry, item.type == TestEntryType::folder ? 0755 : 0644);
        if (item.type == TestEntryType::symlink) archive_entry_copy_symlink(entry, item.content.c_str());
        if (item.type == TestEntryType::hardlink) archive_entry_copy_hardlink(entry, item.content.c_str());
        if (item.type == TestEntryType::device) archive_entry_set_rdev(entry, makedev(1, 3));
        const size_t size = item.type == TestEntryType::file ? item.content.size() : 0;
        archive_entry_set_size(entry, static_cast<la_int64_t>(size));
        if (archive_write_header(a, entry) != ARCHIVE_OK) throw std::runtime_error(archive_error_string(a));
        archive_write_data(a, item.content.data(), size);
        archive_entry_free(entry);
    }
    archive_write_close(a);
    archive_write_free(a);
}

std::string storedRar(const std::vector<TestEntry>& entries)
{
    // A block: its CRC, type, flags and size, then the body.
    auto block = [](char type, uint32_t flags, const std::string& body) {
        std::string header(1, type);
        put(header, flags, 2);
        put(header, static_cast<uint32_t>(7 + body.size()), 2);
        header += body;
        std::string out;
        put(out, crc32Of(header) & 0xFFFF, 2);
        return out + header;
    };
    std::string out = std::string("Rar!\x1a\x07\0", 7) + block(0x73, 0, std::string(6, '\0'));  // the main header
    for (const TestEntry& item : entries) {
        const bool folder = item.type == TestEntryType::folder;
        const std::string data = folder ? "" : item.content;
        std::string body;
        put(body, static_cast<uint32_t>(data.size()), 4);  // packed
        put(body, static_cast<uint32_t>(data.size()), 4);  // unpacked
        body += '\x02';  // made on Win32
        put(body, crc32Of(data), 4);
        put(body, DosTime, 4);
        body += "\x14\x30";  // version 2.0 unpacks it, stored
        put(body, static_cast<uint32_t>(item.name.size()), 2);
        put(body, folder ? 0x10 : 0x20, 4);  // the folder or archive attribute
        body += item.name;
        out += block(0x74, 0x8000 | (folder ? 0x00E0 : 0), body) + data;  // a long file block; a folder's flags
    }
    return out;
}

std::string storedLha(const std::vector<TestEntry>& entries)
{
    std::string out;
    for (const TestEntry& item : entries) {
        std::string header = "-lh0-";
        put(header, static_cast<uint32_t>(item.content.size()), 4);
        put(header, static_cast<uint32_t>(item.content.size()), 4);
        put(header, DosTime, 4);
        header += std::string{'\x20', '\0', static_cast<char>(item.name.size())} + item.name;  // attribute, level 0
        uint16_t crc = 0;  // the data's CRC-16 (polynomial 0xA001, reflected)
        for (const char c : item.content) {
            crc ^= static_cast<uint8_t>(c);
            for (int bit = 0; bit < 8; ++bit) crc = static_cast<uint16_t>((crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1);
        }
        put(header, crc, 2);
        uint8_t sum = 0;
        for (const char c : header) sum = static_cast<uint8_t>(sum + static_cast<uint8_t>(c));
        out += std::string{static_cast<char>(header.size()), static_cast<char>(sum)} + header + item.content;
    }
    return out + '\0';
}

std::string readFile(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

fs::path fixtureFolder()
{
    const char* source = std::getenv("POMELUNE_SOURCE_DIR");
    return fs::path(source ? source : POMELUNE_SOURCE_FALLBACK) / "tests/fixtures/archives";
}
