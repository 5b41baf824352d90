// Hostile archives: paths leading out of the folder or through a link, link and
// device entries, output past the limit or past what a header states, and a caller
// stopping the unpacking.
#include "arclib/archive_format.h"
#include "arclib/extractor.h"
#include "support/test_archives.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

ExtractResult extract(const ArchiveFormat& format, const fs::path& archive, const fs::path& folder,
                      const ExtractLimits& limits = {}, const ProgressReport& report = nullptr)
{
    return extractArchive(format, {true, archive.string(), folder.string(), {}}, report, limits);
}

std::vector<std::string> filesBelow(const fs::path& folder)
{
    std::vector<std::string> files;
    for (const auto& item : fs::recursive_directory_iterator(folder))
        if (item.is_symlink() || !item.is_directory()) files.push_back(item.path().lexically_relative(folder).string());
    std::sort(files.begin(), files.end());
    return files;
}

// Each hostile entry lies between two good files: it is refused with its message,
// nothing of it is written, and the good files still arrive.
TEST(SafetyTest, UnsafePathsAreRefusedAndTheRestUnpacked)
{
    const struct {
        std::string name;
        const char* reason;
    } cases[] = {
        {"/tmp/arclib-absolute.txt", "absolute"},
        {"\\tmp\\arclib-absolute.txt", "absolute"},
        {"C:/arclib-drive.txt", "absolute"},
        {"../escape.txt", "leads out"},
        {"sub/../../escape.txt", "leads out"},
        {"sub\\..\\..\\escape.txt", "leads out"},
        {"link/escape.txt", "symbolic link"},
        {"link", "symbolic link"},
    };
    for (const auto& c : cases) {
        for (const TestFormat format : {TestFormat::tar, TestFormat::zip}) {
            ScratchFolder folder;
            const fs::path out = folder / "out";
            fs::create_directories(out);
            fs::create_directories(folder / "outside");
            fs::create_directory_symlink(folder / "outside", out / "link");
            writeArchive(folder / "a", format, {{"first.txt", "1"}, {c.name, "evil"}, {"last.txt", "2"}});
            const ExtractResult result = extract(format == TestFormat::zip ? zipFormat : tarFormat, folder / "a", out);
            EXPECT_EQ(result.result, arcUnsafePath) << c.name;
            EXPECT_NE(result.message.find(c.reason), std::string::npos) << result.message;
            EXPECT_EQ(filesBelow(out), (std::vector<std::string>{"first.txt", "last.txt", "link"})) << c.name;
            EXPECT_TRUE(fs::is_empty(folder / "outside")) << c.name;
            EXPECT_FALSE(fs::exists(folder / "escape.txt"));
        }
    }
    EXPECT_FALSE(fs::exists("/tmp/arclib-absolute.txt"));
}

TEST(SafetyTest, LinksAndDevicesAreNotCreated)
{
    ScratchFolder folder;
    writeArchive(folder / "a.tar", TestFormat::tar,
                 {{"target.txt", "data"},
                  {"soft", "/etc/passwd", TestEntryType::symlink},
                  {"hard", "target.txt", TestEntryType::hardlink},
                  {"null", "", TestEntryType::device}});
    const ExtractResult result = extract(tarFormat, folder / "a.tar", folder / "out");
    EXPECT_EQ(result.result, arcOk) << result.message;
    EXPECT_EQ(filesBelow(folder / "out"), std::vector<std::string>{"target.txt"});
    EXPECT_NE(result.message.find("soft: skipped"), std::string::npos) << result.message;
}

// Output past the limit (or an entry stating more), a header stating less than the
// data holds or more than is there: the unpacking stops, and nothing of that entry
// stays; the files before it do.
TEST(SafetyTest, TooMuchOrTooLittleDataStopsAndRemovesThePartialFile)
{
    ScratchFolder folder;
    const std::string content(4096, 'x');
    writeArchive(folder / "bomb.zip", TestFormat::zip,
                 {{"small.txt", "fits"}, {"entry.bin", std::string(3 << 20, '\0')}, {"after.txt", "never"}});
    writeArchive(folder / "a.tar", TestFormat::tar, {{"entry.bin", content}});
    const std::string tar = readFile(folder / "a.tar");
    writeFile(folder / "short.tar", tar.substr(0, tar.find(content) + 1000));

    std::string lha = storedLha({{"entry.bin", content}});
    const size_t originalSize = 2 + 5 + 4;  // size byte, checksum, method id, packed size
    lha[originalSize] = static_cast<char>(0x00);
    lha[originalSize + 1] = static_cast<char>(0x08);  // claims 2048 bytes of 4096
    uint8_t sum = 0;
    for (size_t i = 2; i < size_t{2} + static_cast<uint8_t>(lha[0]); ++i) sum = static_cast<uint8_t>(sum + static_cast<uint8_t>(lha[i]));
    lha[1] = static_cast<char>(sum);
    writeFile(folder / "claims-less.lzh", lha);

    const struct {
        const char* file;
        const ArchiveFormat& format;
        uint64_t limit;
        ArcResult result;
        const char* message;  // a part of the message
        std::vector<std::string> kept;
    } cases[] = {
        {"bomb.zip", zipFormat, 1 << 20, arcTooLarge, "entry.bin: stopped", {"small.txt"}},
        {"a.tar", tarFormat, 1000, arcTooLarge, "entry.bin", {}},
        {"short.tar", tarFormat, ExtractLimits{}.totalBytes, arcDamaged, "Truncated", {}},
        {"claims-less.lzh", lhaFormat, ExtractLimits{}.totalBytes, arcDamaged, "entry.bin", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const fs::path out = folder / (std::string(c.file) + ".out");
        fs::create_directories(out);
        const ExtractResult result = extract(c.format, folder / c.file, out, {c.limit});
        EXPECT_EQ(result.result, c.result) << result.message;
        EXPECT_NE(result.message.find(c.message), std::string::npos) << result.message;
        EXPECT_EQ(filesBelow(out), c.kept);
    }
}

TEST(SafetyTest, ProgressReportsEachFileAndAStopRequestEndsTheUnpacking)
{
    ScratchFolder folder;
    writeArchive(folder / "a.zip", TestFormat::zip, {{"one.txt", "1"}, {"two.txt", "22"}, {"three.txt", "333"}});
    for (const int stopAt : {-1, 0, 2}) {
        std::vector<std::string> seen;
        const ProgressReport report = [&](ProgressState state, const ExtractingInfo& info) {
            seen.push_back(std::to_string(state) + ":" + info.szDestFileName);
            return static_cast<int>(seen.size()) - 1 == stopAt;
        };
        const fs::path out = folder / ("out" + std::to_string(stopAt));
        const ExtractResult result = extract(zipFormat, folder / "a.zip", out, {}, report);
        if (stopAt < 0) {
            EXPECT_EQ(result.result, arcOk);
            EXPECT_EQ(seen, (std::vector<std::string>{"0:", "1:one.txt", "1:two.txt", "1:three.txt", "2:three.txt"}));
        } else {
            EXPECT_EQ(result.result, arcAborted);
            EXPECT_EQ(seen.size(), static_cast<size_t>(stopAt + 1));
            EXPECT_EQ(filesBelow(out).size(), static_cast<size_t>(std::max(0, stopAt - 1)));
        }
    }
}

}  // namespace
