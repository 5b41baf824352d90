// Listing, extraction and checking of every format through the core: the committed
// fixtures of every method, the archives the tests build, and wrong, damaged and
// truncated files.
#include "arclib/archive_format.h"
#include "arclib/extractor.h"
#include "arclib/listing.h"
#include "support/test_archives.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace fs = std::filesystem;

namespace {

struct Fixture {
    const char* file;
    const ArchiveFormat* format;
};

const Fixture Fixtures[] = {
    {"lh0_level0.lzh", &lhaFormat}, {"lh0_level1.lzh", &lhaFormat}, {"lh0_level2.lzh", &lhaFormat},
    {"lh5_level0.lzh", &lhaFormat}, {"lh5_level1.lzh", &lhaFormat}, {"lh5_level2.lzh", &lhaFormat},
    {"lh6_level0.lzh", &lhaFormat}, {"lh6_level1.lzh", &lhaFormat}, {"lh6_level2.lzh", &lhaFormat},
    {"lh7_level0.lzh", &lhaFormat}, {"lh7_level1.lzh", &lhaFormat}, {"lh7_level2.lzh", &lhaFormat},
    {"deflated.zip", &zipFormat},   {"stored.zip", &zipFormat},     {"mszip.cab", &cabFormat},
    {"stored.cab", &cabFormat},     {"method0.arj", &arjFormat},    {"method1.arj", &arjFormat},
    {"method2.arj", &arjFormat},    {"method3.arj", &arjFormat},    {"method4.arj", &arjFormat},
    {"plain.tar", &tarFormat},      {"gzip.tgz", &tarFormat},       {"bzip2.tar.bz2", &tarFormat},
};

void PrintTo(const Fixture& fixture, std::ostream* out) { *out << fixture.file; }

const ArchiveFormat* const Formats[] = {&lhaFormat, &zipFormat, &cabFormat, &tarFormat, &rarFormat, &arjFormat};

std::string slashes(std::string name)
{
    std::replace(name.begin(), name.end(), '\\', '/');
    return name;
}

// The names listed, with "/" separators, folders left out.
std::vector<std::string> listedFiles(const ArchiveFormat& format, const fs::path& archive)
{
    std::vector<std::string> names;
    const Listing listing(format, archive.string());
    for (const ListedEntry& entry : listing.entries())
        if (!entry.name.ends_with('/') && !entry.name.ends_with('\\')) names.push_back(slashes(entry.name));
    return names;
}

ExtractResult extract(const ArchiveFormat& format, const fs::path& archive, const fs::path& folder, bool keepFolders = true)
{
    return extractArchive(format, {keepFolders, archive.string(), folder.string(), {}}, nullptr);
}

class FixtureTest : public testing::TestWithParam<Fixture> {};

TEST_P(FixtureTest, ListsAndUnpacksEveryFileWithAndWithoutFolders)
{
    const Fixture& fixture = GetParam();
    const fs::path archive = fixtureFolder() / fixture.file;
    const fs::path package = fixtureFolder() / "package";
    const std::vector<std::string> names = listedFiles(*fixture.format, archive);
    ASSERT_NE(std::find(names.begin(), names.end(), "sub/chara.chP"), names.end()) << testing::PrintToString(names);
    ASSERT_NE(std::find(names.begin(), names.end(), "readme.txt"), names.end());

    ScratchFolder kept;
    const ExtractResult result = extract(*fixture.format, archive, kept / "out");
    ASSERT_EQ(result.result, arcOk) << result.message;
    for (const std::string& name : names) EXPECT_EQ(readFile(kept / "out" / name), readFile(package / name)) << name;

    ScratchFolder dropped;
    ASSERT_EQ(extract(*fixture.format, archive, dropped.path(), false).result, arcOk);
    EXPECT_EQ(readFile(dropped / "chara.chP"), readFile(package / "sub/chara.chP"));
    EXPECT_FALSE(fs::exists(dropped / "sub"));
    EXPECT_TRUE(readsThrough(*fixture.format, archive.string()));
}

// Cut in half, an archive fails with a message and leaves no partial file (unless
// only a tar's padding is lost); cut near
// its end or with flipped bytes, it may fail or not, but never crashes or hangs.
TEST_P(FixtureTest, DamagedAndTruncatedCopiesFailCleanly)
{
    const Fixture& fixture = GetParam();
    const std::string bytes = readFile(fixtureFolder() / fixture.file);
    std::string flipped = bytes;
    for (size_t i = bytes.size() / 3; i < bytes.size() * 2 / 3; i += 5) flipped[i] = static_cast<char>(~flipped[i]);
    const bool onlyPaddingLost = std::all_of(bytes.begin() + static_cast<std::ptrdiff_t>(bytes.size() / 2), bytes.end(),
                                             [](char c) { return c == '\0'; });
    ScratchFolder folder;
    writeFile(folder / "half", bytes.substr(0, bytes.size() / 2));
    writeFile(folder / "cut", bytes.substr(0, bytes.size() - 7));
    writeFile(folder / "flipped", flipped);
    for (const char* name : {"half", "cut", "flipped"}) {
        const fs::path out = folder / (std::string(name) + ".out");
        const ExtractResult result = extract(*fixture.format, folder / name, out);
        readsThrough(*fixture.format, (folder / name).string());
        if (name == std::string("half") && !onlyPaddingLost) {
            EXPECT_NE(result.result, arcOk);
            EXPECT_FALSE(fs::exists(out / "long.txt"));
        }
        if (result.result != arcOk) {
            EXPECT_NE(result.message, "") << name;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, FixtureTest, testing::ValuesIn(Fixtures),
                         [](const auto& info) {
                             std::string name = info.param.file;
                             std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum(c); }, '_');
                             return name;
                         });

TEST(ArjTest, ACrcMismatchFailsAndRemovesTheFile)
{
    std::string bytes = readFile(fixtureFolder() / "method0.arj");
    const size_t text = bytes.find("readme line 1");
    ASSERT_NE(text, std::string::npos);
    bytes[text] = 'R';
    ScratchFolder folder;
    writeFile(folder / "bad.arj", bytes);
    const ExtractResult result = extract(arjFormat, folder / "bad.arj", folder / "out");
    EXPECT_EQ(result.result, arcDamaged);
    EXPECT_NE(result.message.find("CRC"), std::string::npos) << result.message;
    EXPECT_FALSE(fs::exists(folder / "out/readme.txt"));
    EXPECT_FALSE(readsThrough(arjFormat, (folder / "bad.arj").string()));
}

// Sets the UTF-8 name flag in every local and central header of a ZIP.
std::string flaggedUtf8(std::string zip)
{
    constexpr uint8_t Utf8Flag = 0x08;  // bit 11 of the flags, in their second byte
    for (const auto& [signature, flagsOffset] : {std::pair{"PK\x03\x04", 7}, std::pair{"PK\x01\x02", 9}})
        for (size_t at = zip.find(signature); at != std::string::npos; at = zip.find(signature, at + 4))
            zip[at + flagsOffset] = static_cast<char>(zip[at + flagsOffset] | Utf8Flag);
    return zip;
}

TEST(FormatTest, BuiltRarTarZAndShiftJisNamesUnpackAsUtf8)
{
    const std::string sjisName = "\x83\x4c\x83\x83\x83\x89.chP";  // キャラ.chP
    const std::string utf8Name = "\xe3\x82\xad\xe3\x83\xa3\xe3\x83\xa9.chP";
    const std::string badName = "\x80\xff.chP";  // no Shift-JIS: each byte becomes U+FFFD
    const std::string badUtf8 = "\xef\xbf\xbd\xef\xbf\xbd.chP";
    ScratchFolder folder;
    writeFile(folder / "a.rar", storedRar({{"pkg\\" + sjisName, "rar data"}}));
    writeFile(folder / "a.lzh", storedLha({{"pkg\\" + sjisName, "lha data"}}));
    writeFile(folder / "bad.lzh", storedLha({{"pkg\\" + badName, "bad data"}}));
    writeArchive(folder / "a.zip", TestFormat::zip, {{"pkg/" + sjisName, "zip data"}});
    writeArchive(folder / "u.zip", TestFormat::zip, {{"pkg/" + utf8Name, "utf8 data"}});
    writeFile(folder / "u.zip", flaggedUtf8(readFile(folder / "u.zip")));
    writeArchive(folder / "a.tar.Z", TestFormat::tarCompress, {{"pkg/" + utf8Name, "taz data"}});
    const struct {
        const char* file;
        const ArchiveFormat& format;
        std::string name;
        const char* data;
    } cases[] = {{"a.rar", rarFormat, utf8Name, "rar data"},   {"a.lzh", lhaFormat, utf8Name, "lha data"},
                 {"bad.lzh", lhaFormat, badUtf8, "bad data"},  {"a.zip", zipFormat, utf8Name, "zip data"},
                 {"u.zip", zipFormat, utf8Name, "utf8 data"},  {"a.tar.Z", tarFormat, utf8Name, "taz data"}};
    for (const auto& c : cases) {
        const std::vector<std::string> names = listedFiles(c.format, folder / c.file);
        ASSERT_EQ(names, std::vector<std::string>{"pkg/" + c.name}) << c.file;
        const fs::path out = folder / (std::string(c.file) + ".out");
        ASSERT_EQ(extract(c.format, folder / c.file, out).result, arcOk) << c.file;
        EXPECT_EQ(readFile(out / "pkg" / c.name), c.data) << c.file;
    }
    EXPECT_EQ(tarArchiveType((folder / "a.tar.Z").string()), 3);
    EXPECT_EQ(tarArchiveType((fixtureFolder() / "plain.tar").string()), 1);
    EXPECT_EQ(tarArchiveType((fixtureFolder() / "gzip.tgz").string()), 2);
    EXPECT_EQ(tarArchiveType((fixtureFolder() / "bzip2.tar.bz2").string()), 6);
    EXPECT_EQ(tarArchiveType((fixtureFolder() / "deflated.zip").string()), 0);
}

TEST(FormatTest, MissingEmptyAndForeignFilesAreRefused)
{
    ScratchFolder folder;
    writeFile(folder / "empty", "");
    writeFile(folder / "text", "just some text, no archive at all\n");
    for (const ArchiveFormat* format : Formats) {
        for (const char* name : {"missing", "empty", "text"}) {
            EXPECT_THROW(Listing(*format, (folder / name).string()), ArchiveError) << format->name << " " << name;
            EXPECT_FALSE(readsThrough(*format, (folder / name).string()));
            EXPECT_EQ(extract(*format, folder / name, folder / "out").result, arcCannotOpen);
        }
    }
}

// A stored path longer than the record's field is cut at a character, zero-terminated.
TEST(FormatTest, ListedNamesFitTheRecordWhole)
{
    std::string name;
    for (int i = 0; i < 300; ++i) name += "\xe3\x82\xa2";  // ア, three bytes each
    ScratchFolder folder;
    writeArchive(folder / "long.zip", TestFormat::zip, {{name, "x"}});
    Listing listing(zipFormat, (folder / "long.zip").string());
    INDIVIDUALINFO record;
    std::memset(&record, 'X', sizeof record);
    ASSERT_EQ(listing.findFirst("*", record), 0);
    EXPECT_EQ(std::string(record.szFileName), name.substr(0, 510));
    EXPECT_EQ(record.dwOriginalSize, 1u);
    EXPECT_EQ(listing.findNext(record), -1);
}

}  // namespace
