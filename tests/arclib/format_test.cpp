// Listing, extraction and checking through the core: the committed fixtures of every
// method, built archives of what the drops do not cover, and wrong, damaged and
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

ExtractResult extract(const ArchiveFormat& format, const fs::path& archive, const fs::path& folder)
{
    return extractArchive(format, {true, archive.string(), folder.string(), {}}, nullptr);
}

// Each decoder and header level unpacks the whole package. The first fixture of each
// reader, cut in half, fails with a message and leaves no partial file (unless only a
// tar's padding is lost); the fuzz target feeds them damaged bytes of every other kind.
TEST(FormatTest, EveryDecoderUnpacksWholeAndDamagedCopiesFailCleanly)
{
    // clang-format off
    const struct { const char* file; const ArchiveFormat& format; bool damage; } fixtures[] = {
        {"lh0_level0.lzh", lhaFormat, true}, {"lh5_level1.lzh", lhaFormat, false}, {"lh7_level2.lzh", lhaFormat, false},
        {"deflated.zip", zipFormat, true}, {"stored.zip", zipFormat, false}, {"mszip.cab", cabFormat, true},
        {"stored.cab", cabFormat, false}, {"method1.arj", arjFormat, true}, {"method0.arj", arjFormat, false},
        {"method4.arj", arjFormat, false}, {"plain.tar", tarFormat, true}, {"bzip2.tar.bz2", tarFormat, false},
    };
    // clang-format on
    const fs::path package = fixtureFolder() / "package";
    for (const auto& f : fixtures) {
        SCOPED_TRACE(f.file);
        const fs::path archive = fixtureFolder() / f.file;
        ScratchFolder folder;
        const ExtractResult result = extract(f.format, archive, folder / "out");
        ASSERT_EQ(result.result, arcOk) << result.message;
        ASSERT_TRUE(fs::exists(folder / "out/readme.txt") && fs::exists(folder / "out/sub/chara.chP"));
        for (const auto& item : fs::recursive_directory_iterator(folder / "out"))
            if (item.is_regular_file()) {  // compared whole, not printed: long.txt is long
                EXPECT_TRUE(readFile(item) == readFile(package / item.path().lexically_relative(folder / "out")))
                    << item;
            }
        EXPECT_TRUE(readsThrough(f.format, archive.string()));
        if (!f.damage) continue;

        const std::string bytes = readFile(archive);
        const bool onlyPaddingLost = std::all_of(bytes.begin() + static_cast<std::ptrdiff_t>(bytes.size() / 2),
                                                 bytes.end(), [](char c) { return c == '\0'; });
        if (onlyPaddingLost) continue;
        const fs::path half = folder.write("half", bytes.substr(0, bytes.size() / 2));
        const ExtractResult damaged = extract(f.format, half, folder / "half.out");
        EXPECT_NE(damaged.result, arcOk);
        EXPECT_NE(damaged.message, "");
        EXPECT_FALSE(fs::exists(folder / "half.out/long.txt"));
    }
}

TEST(FormatTest, AnArjCrcMismatchFailsAndRemovesTheFile)
{
    std::string bytes = readFile(fixtureFolder() / "method0.arj");
    const size_t text = bytes.find("readme line 1");
    ASSERT_NE(text, std::string::npos);
    bytes[text] = 'R';
    ScratchFolder folder;
    const fs::path bad = folder.write("bad.arj", bytes);
    const ExtractResult result = extract(arjFormat, bad, folder / "out");
    EXPECT_EQ(result.result, arcDamaged);
    EXPECT_NE(result.message.find("CRC"), std::string::npos) << result.message;
    EXPECT_FALSE(fs::exists(folder / "out/readme.txt"));
    EXPECT_FALSE(readsThrough(arjFormat, bad.string()));
}

// The drops unpack Shift-JIS names from LHA, ZIP and RAR; here a name of no valid
// Shift-JIS and a ZIP flagged UTF-8; the tar types of each compression.
TEST(FormatTest, NamesOfEveryEncodingUnpackAsUtf8)
{
    const std::string utf8Name = "\xe3\x82\xad\xe3\x83\xa3\xe3\x83\xa9.chP";  // キャラ.chP
    ScratchFolder folder;
    folder.write("bad.lzh", storedLha({{"pkg\\\x80\xff.chP", "bad data"}}));
    writeArchive(folder / "u.zip", TestFormat::zip, {{"pkg/" + utf8Name, "utf8 data"}});
    std::string zip = readFile(folder / "u.zip");
    constexpr uint8_t Utf8Flag = 0x08;  // bit 11 of the flags, in their second byte
    for (const auto& [signature, flagsOffset] : {std::pair{"PK\x03\x04", 7}, std::pair{"PK\x01\x02", 9}})
        for (size_t at = zip.find(signature); at != std::string::npos; at = zip.find(signature, at + 4))
            zip[at + flagsOffset] = static_cast<char>(zip[at + flagsOffset] | Utf8Flag);
    folder.write("u.zip", zip);
    // clang-format off
    const struct { const char* file; const ArchiveFormat& format; std::string name; const char* data; } cases[] = {
        {"bad.lzh", lhaFormat, "\xef\xbf\xbd\xef\xbf\xbd.chP", "bad data"},  // each byte becomes U+FFFD
        {"u.zip", zipFormat, utf8Name, "utf8 data"},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const fs::path out = folder / (std::string(c.file) + ".out");
        ASSERT_EQ(extract(c.format, folder / c.file, out).result, arcOk);
        EXPECT_EQ(readFile(out / "pkg" / c.name), c.data);
    }
    for (const auto& [file, type] :
         {std::pair{"plain.tar", 1}, {"gzip.tgz", 2}, {"bzip2.tar.bz2", 6}, {"deflated.zip", 0}})
        EXPECT_EQ(tarArchiveType((fixtureFolder() / file).string()), type) << file;
}

TEST(FormatTest, MissingEmptyAndForeignFilesAreRefused)
{
    ScratchFolder folder;
    folder.write("empty", "");
    folder.write("text", "just some text, no archive at all\n");
    for (const ArchiveFormat* format : {&lhaFormat, &zipFormat, &cabFormat, &tarFormat, &rarFormat, &arjFormat}) {
        for (const char* name : {"missing", "empty", "text"}) {
            SCOPED_TRACE(std::string(format->name) + " " + name);
            EXPECT_THROW(Listing(*format, (folder / name).string()), ArchiveError);
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
