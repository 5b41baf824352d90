// Feeds arbitrary bytes to the archiver libraries' core as each format in turn: the
// listing, then an unpacking into a temporary folder that is emptied afterwards.
#include "arclib/archive_format.h"
#include "arclib/extractor.h"
#include "arclib/listing.h"

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

// Enough for any package; a bomb stops here instead of filling the disk.
constexpr uint64_t OutputLimit = 8 << 20;

const ArchiveFormat* const Formats[] = {&lhaFormat, &zipFormat, &cabFormat, &tarFormat, &rarFormat, &arjFormat};

const fs::path& workFolder()
{
    static const fs::path folder = fs::temp_directory_path() / ("archive_fuzz-" + std::to_string(getpid()));
    return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const fs::path archive = workFolder() / "input";
    const fs::path out = workFolder() / "out";
    fs::create_directories(workFolder());
    std::ofstream(archive, std::ios::binary).write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    for (const ArchiveFormat* format : Formats) {
        try {
            Listing listing(*format, archive.string());
            INDIVIDUALINFO record{};
            for (int found = listing.findFirst("*.*", record); found == 0;)
                found = listing.findNext(record);
        } catch (const ArchiveError&) {
            // not of this format
        }
        extractArchive(*format, {true, archive.string(), out.string(), {}}, nullptr, {OutputLimit});
        std::error_code error;
        fs::remove_all(out, error);
    }
    return 0;
}
