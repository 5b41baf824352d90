// Archives built by the arclib tests.
#include "support/test_archives.h"

#include <archive.h>
#include <archive_entry.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

constexpr time_t FixedTime = 1700000000;

void put16(std::string& out, uint32_t value)
{
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

void put32(std::string& out, uint32_t value)
{
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

uint32_t crc32Of(const std::string& bytes)
{
    return static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
}

// CRC-16 of LHA (polynomial 0xA001, reflected).
uint16_t crc16Of(const std::string& bytes)
{
    uint16_t crc = 0;
    for (const char c : bytes) {
        crc ^= static_cast<uint8_t>(c);
        for (int bit = 0; bit < 8; ++bit) crc = static_cast<uint16_t>((crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1);
    }
    return crc;
}

unsigned fileType(TestEntryType type)
{
    switch (type) {
    case TestEntryType::folder: return AE_IFDIR;
    case TestEntryType::symlink: return AE_IFLNK;
    case TestEntryType::device: return AE_IFCHR;
    default: return AE_IFREG;
    }
}

}  // namespace

void writeArchive(const fs::path& path, TestFormat format, const std::vector<TestEntry>& entries)
{
    archive* a = archive_write_new();
    if (format == TestFormat::zip) {
        archive_write_set_format_zip(a);
    } else {
        archive_write_set_format_ustar(a);
        if (format == TestFormat::tarCompress) archive_write_add_filter_compress(a);
    }
    if (archive_write_open_filename(a, path.c_str()) != ARCHIVE_OK) throw std::runtime_error(archive_error_string(a));
    for (const TestEntry& item : entries) {
        archive_entry* entry = archive_entry_new();
        archive_entry_copy_pathname(entry, item.name.c_str());
        archive_entry_set_mtime(entry, FixedTime, 0);
        archive_entry_set_filetype(entry, fileType(item.type));
        archive_entry_set_perm(entry, item.type == TestEntryType::folder ? 0755 : 0644);
        if (item.type == TestEntryType::symlink) archive_entry_copy_symlink(entry, item.content.c_str());
        if (item.type == TestEntryType::hardlink) archive_entry_copy_hardlink(entry, item.content.c_str());
        if (item.type == TestEntryType::device) archive_entry_set_rdev(entry, makedev(1, 3));
        const bool holdsData = item.type == TestEntryType::file;
        archive_entry_set_size(entry, holdsData ? static_cast<la_int64_t>(item.content.size()) : 0);
        if (archive_write_header(a, entry) != ARCHIVE_OK) throw std::runtime_error(archive_error_string(a));
        if (holdsData) archive_write_data(a, item.content.data(), item.content.size());
        archive_entry_free(entry);
    }
    archive_write_close(a);
    archive_write_free(a);
}

std::string storedRar(const std::vector<TestEntry>& entries)
{
    constexpr uint8_t MainHeader = 0x73;
    constexpr uint8_t FileHeader = 0x74;
    constexpr uint16_t LongBlock = 0x8000;
    constexpr uint16_t FolderFlags = 0x00E0;
    constexpr uint8_t HostWin32 = 2;
    constexpr uint8_t MethodStored = 0x30;
    constexpr uint8_t UnpackVersion = 20;
    constexpr uint32_t DosTime = 0x58210000;

    auto block = [](uint8_t type, uint16_t flags, const std::string& body) {
        std::string header;
        header += static_cast<char>(type);
        put16(header, flags);
        put16(header, static_cast<uint32_t>(7 + body.size()));
        header += body;
        std::string out;
        put16(out, crc32Of(header) & 0xFFFF);
        return out + header;
    };
    std::string out = "Rar!\x1a\x07";
    out += '\0';
    out += block(MainHeader, 0, std::string(6, '\0'));
    for (const TestEntry& item : entries) {
        const bool folder = item.type == TestEntryType::folder;
        const std::string data = folder ? "" : item.content;
        std::string body;
        put32(body, static_cast<uint32_t>(data.size()));
        put32(body, static_cast<uint32_t>(data.size()));
        body += static_cast<char>(HostWin32);
        put32(body, crc32Of(data));
        put32(body, DosTime);
        body += static_cast<char>(UnpackVersion);
        body += static_cast<char>(MethodStored);
        put16(body, static_cast<uint32_t>(item.name.size()));
        put32(body, folder ? 0x10 : 0x20);
        body += item.name;
        out += block(FileHeader, static_cast<uint16_t>(LongBlock | (folder ? FolderFlags : 0)), body) + data;
    }
    return out;
}

std::string storedLha(const std::vector<TestEntry>& entries)
{
    constexpr uint32_t DosTime = 0x58210000;
    constexpr char Attribute = 0x20;
    std::string out;
    for (const TestEntry& item : entries) {
        std::string header = "-lh0-";
        put32(header, static_cast<uint32_t>(item.content.size()));
        put32(header, static_cast<uint32_t>(item.content.size()));
        put32(header, DosTime);
        header += Attribute;
        header += '\0';  // header level 0
        header += static_cast<char>(item.name.size());
        header += item.name;
        put16(header, crc16Of(item.content));
        uint8_t sum = 0;
        for (const char c : header) sum = static_cast<uint8_t>(sum + static_cast<uint8_t>(c));
        out += static_cast<char>(header.size());
        out += static_cast<char>(sum);
        out += header + item.content;
    }
    return out + '\0';
}

std::string readFile(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

void writeFile(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

fs::path fixtureFolder()
{
    const char* source = std::getenv("POMELUNE_SOURCE_DIR");
    return fs::path(source ? source : POMELUNE_SOURCE_FALLBACK) / "tests/fixtures/archives";
}

