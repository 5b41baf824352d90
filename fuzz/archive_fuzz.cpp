// Feeds arbitrary bytes to the archiver libraries' core as each format in turn: the
// listing, then an unpacking into a temporary folder that is emptied afterwards; and,
// in memory, to the ARJ decompressor as each packed method.
#include "arclib/archive_error.h"
#include "arclib/archive_format.h"
#include "arclib/arj_decoder.h"
#include "arclib/extractor.h"
#include "arclib/listing.h"

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Enough for any package; a bomb stops here instead of filling the disk.
constexpr uint64_t OutputLimit = 8 << 20;

constexpr uint64_t DecodedLimit = 1 << 20;
constexpr size_t DecodeBlockSize = 64 * 1024;

const ArchiveFormat* const Formats[] = {&lhaFormat, &zipFormat, &cabFormat, &tarFormat, &rarFormat, &arjFormat};

const fs::path& workFolder()
{
    static const fs::path folder = fs::temp_directory_path() / ("archive_fuzz-" + std::to_string(getpid()));
    return folder;
}

void decodeAsArj(const uint8_t* data, size_t size)
{
    std::vector<char> block(DecodeBlockSize);
    for (int method = 1; method <= 4; ++method) {
        try {
            ArjDecoder decoder({data, size}, method, DecodedLimit);
            while (decoder.read(block) > 0) {}
        } catch (const ArchiveError&) {
            // damaged data
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    decodeAsArj(data, size);
    const fs::path archive = workFolder() / "input";
    const fs::path out = workFolder() / "out";
    fs::create_directories(workFolder());
    std::ofstream(archive, std::ios::binary)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    for (const ArchiveFormat* format : Formats) {
        try {
            Listing listing(*format, archive.string());
            INDIVIDUALINFO record{};
            for (int found = listing.findFirst("*.*", record); found == 0;) found = listing.findNext(record);
        } catch (const ArchiveError&) {
            // not of this format
        }
        extractArchive(*format, {true, archive.string(), out.string(), {}}, nullptr, {OutputLimit});
        std::error_code error;
        fs::remove_all(out, error);
    }
    return 0;
}
