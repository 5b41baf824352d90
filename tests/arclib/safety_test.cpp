// Hostile archives: paths leading out or through a link, link and device entries,
// output past the limit or past what a header states, and names no archive writer stores.
#include "arclib/archive_error.h"
#include "arclib/archive_format.h"
#include "arclib/entry_name.h"
#include "arclib/extractor.h"
#include "support/test_archives.h"
#include "support/thrown.h"

#include <gtest/gtest.h>

#include <set>

namespace fs = std::filesystem;

namespace {

ExtractResult extract(const ArchiveFormat& format, const fs::path& archive, const fs::path& folder,
                      const ExtractLimits& limits = {})
{
    return extractArchive(format, {true, archive.string(), folder.string(), {}}, nullptr, limits);
}

std::set<std::string> filesBelow(const fs::path& folder)
{
    std::set<std::string> files;
    for (const auto& item : fs::recursive_directory_iterator(folder))
        if (item.is_symlink() || !item.is_directory()) files.insert(item.path().lexically_relative(folder).string());
    return files;
}

// Each hostile entry lies between two good files: it is refused with its message,
// nothing of it is written, and the good files still arrive.
TEST(SafetyTest, UnsafePathsAreRefusedAndTheRestUnpacked)
{
    // clang-format off
    const struct { std::string name; std::string message; } cases[] = {
        {"/tmp/arclib-absolute.txt", "/tmp/arclib-absolute.txt: refused, the path is absolute"},
        {"C:/arclib-drive.txt", "C:/arclib-drive.txt: refused, the path is absolute"},
        {"sub\\..\\..\\escape.txt", "sub\\..\\..\\escape.txt: refused, the path leads out of the folder"},
        {"link/escape.txt", "link/escape.txt: refused, link is a symbolic link or a file, not a folder"},
        {"link", "link: refused, a symbolic link of that name is in the way"},
        // clang-format on
    };
    for (const auto& c : cases) {
        for (const TestFormat format : {TestFormat::tar, TestFormat::zip}) {
            SCOPED_TRACE(c.name + (format == TestFormat::zip ? " in a zip" : " in a tar"));
            ScratchFolder folder;
            const fs::path out = folder / "out";
            fs::create_directories(out);
            fs::create_directories(folder / "outside");
            fs::create_directory_symlink(folder / "outside", out / "link");
            writeArchive(folder / "a", format, {{"first.txt", "1"}, {c.name, "evil"}, {"last.txt", "2"}});
            const ExtractResult result = extract(format == TestFormat::zip ? zipFormat : tarFormat, folder / "a", out);
            EXPECT_EQ(result.result, arcUnsafePath);
            std::string message = c.message;  // libarchive reads a zip's backslashes as slashes
            if (format == TestFormat::zip) std::replace(message.begin(), message.end(), '\\', '/');
            EXPECT_EQ(result.message, message + "\n2 files unpacked\n");
            EXPECT_EQ(filesBelow(out), (std::set<std::string>{"first.txt", "last.txt", "link"}));
            EXPECT_TRUE(fs::is_empty(folder / "outside"));
            EXPECT_FALSE(fs::exists(folder / "escape.txt"));
        }
    }
    EXPECT_FALSE(fs::exists("/tmp/arclib-absolute.txt"));
}

// Links and devices are skipped; past the limit, or with a header stating less or more
// than the data, the unpacking stops: nothing of that entry stays, the files before do.
TEST(SafetyTest, LinksDevicesAndTooMuchOrTooLittleDataAreRefused)
{
    ScratchFolder folder;
    const std::string content(4096, 'x');
    writeArchive(folder / "links.tar", TestFormat::tar,
                 {{"target.txt", "data"},
                  {"soft", "/etc/passwd", TestEntryType::symlink},
                  {"hard", "target.txt", TestEntryType::hardlink},
                  {"null", "", TestEntryType::device}});
    writeArchive(folder / "bomb.zip", TestFormat::zip,
                 {{"small.txt", "fits"}, {"entry.bin", std::string(3 << 20, '\0')}, {"after.txt", "never"}});
    writeArchive(folder / "a.tar", TestFormat::tar, {{"entry.bin", content}});
    const std::string tar = readFile(folder / "a.tar");
    folder.write("short.tar", tar.substr(0, tar.find(content) + 1000));
    std::string lha = storedLha({{"entry.bin", content}});
    const size_t originalSize = 2 + 5 + 4;  // size byte, checksum, method id, packed size
    lha[originalSize + 1] = static_cast<char>(0x08);  // claims 2048 bytes of 4096
    lha[1] = static_cast<char>(lha[1] - 0x08);  // the header's checksum again
    folder.write("claims-less.lzh", lha);

    const uint64_t noLimit = ExtractLimits{}.totalBytes;
    const struct {
        const char* file;
        const ArchiveFormat& format;
        uint64_t limit;
        ArcResult result;
        std::string message;
        std::set<std::string> kept;
    } cases[] = {
        // clang-format off
        {"links.tar", tarFormat, noLimit, arcOk, "soft: skipped, links and devices are not created\nhard: skipped, links and devices are not created\nnull: skipped, links and devices are not created\n1 file unpacked\n", {"target.txt"}},
        {"bomb.zip", zipFormat, 1 << 20, arcTooLarge, "entry.bin: stopped, the archive unpacks to more than 1048576 bytes\n", {"small.txt"}},
        {"a.tar", tarFormat, 4095, arcTooLarge, "entry.bin: stopped, the archive unpacks to more than 4095 bytes\n", {}},
        {"short.tar", tarFormat, noLimit, arcDamaged, "Truncated", {}},
        {"claims-less.lzh", lhaFormat, noLimit, arcDamaged, "entry.bin: the data holds more than the header states\n", {}},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const fs::path out = folder / (std::string(c.file) + ".out");
        fs::create_directories(out);
        const ExtractResult result = extract(c.format, folder / c.file, out, {c.limit});
        EXPECT_EQ(result.result, c.result) << result.message;
        if (c.result == arcDamaged && c.format.name == tarFormat.name)  // libarchive's own words
            EXPECT_NE(result.message.find(c.message), std::string::npos) << result.message;
        else
            EXPECT_EQ(result.message, c.message);
        EXPECT_EQ(filesBelow(out), c.kept);
    }
}

// Absolute and outward paths are refused with their messages in the hostile archives;
// here what no archive writer stores.
TEST(EntryNameTest, RefusedNamesSayWhy)
{
    // clang-format off
    const struct { std::string name; std::string message; } cases[] = {
        {std::string("a\0b", 3), "a: refused, the path holds a NUL byte"},
        {"./", "./: refused, the path names no file"},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(thrownMessage<ArchiveError>([&] { relativeParts(c.name); }), c.message);
    }
}

}  // namespace
