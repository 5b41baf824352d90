// Unpacking an archive into a folder.
#include "arclib/extractor.h"

#include "arclib/destination.h"
#include "arclib/entry_name.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace {

constexpr size_t CopyBlockSize = 64 * 1024;

void copyText(char (&field)[FNAME_MAX32 + 1], const std::string& text)
{
    std::snprintf(field, sizeof field, "%s", text.c_str());
}

class Unpacking {
public:
    Unpacking(const ArchiveFormat& format, const Command& command, const ProgressReport& report,
              const ExtractLimits& limits)
            : format_(format),
              command_(command),
              report_(report),
              limits_(limits),
              destination_(command.folder)
    {
        copyText(info_.szSourceFileName, command.archive);
    }

    ExtractResult run()
    {
        try {
            unpackAll();
        } catch (const ArchiveError& error) {
            note(error.what());
            result_.result = error.result();
        }
        return result_;
    }

private:
    void unpackAll()
    {
        const auto reader = format_.open(command_.archive);
        if (stopAsked(progressBegin)) return stopped();
        EntryHeader header;
        while (reader->next(header)) {
            const std::string name = utf8EntryName(header.storedName);
            if (!chosen(name)) continue;
            try {
                unpackEntry(*reader, header, name);
            } catch (const ArchiveError& error) {
                if (error.result() != arcUnsafePath) throw;
                note(error.what());
                result_.result = arcUnsafePath;
            }
            if (stop_) return stopped();
        }
        if (stopAsked(progressEnd)) return stopped();
        note(std::to_string(files_) + (files_ == 1 ? " file" : " files") + " unpacked");
    }

    bool chosen(const std::string& name) const
    {
        if (command_.files.empty()) return true;
        return std::any_of(command_.files.begin(), command_.files.end(), [&](const std::string& wildcard) {
            return matchesWildcard(wildcard, name, format_.bracketClasses);
        });
    }

    void unpackEntry(EntryReader& reader, const EntryHeader& header, const std::string& name)
    {
        if (header.kind == EntryKind::link || header.kind == EntryKind::other) {
            note(name + ": skipped, links and devices are not created");
            return;
        }
        std::vector<std::string> parts = relativeParts(name);
        if (header.kind == EntryKind::folder) {
            if (command_.keepFolders) destination_.makeFolders(parts);
            return;
        }
        if (!command_.keepFolders) parts.erase(parts.begin(), parts.end() - 1);
        const uint64_t left = limits_.totalBytes - written_;
        if (header.size && *header.size > left) throw tooLarge(name);
        info_.dwFileSize = static_cast<uint32_t>(std::min<uint64_t>(header.size.value_or(0), UINT32_MAX));
        copyText(info_.szDestFileName, name);
        if (stopAsked(progressFile)) return;
        writeFile(reader, header, name, destination_.createFile(parts));
        ++files_;
    }

    void writeFile(EntryReader& reader, const EntryHeader& header, const std::string& name, OutputFile&& file)
    {
        std::array<char, CopyBlockSize> block;
        uint64_t entryBytes = 0;
        for (;;) {
            const size_t count = reader.read(block);
            if (count == 0) break;
            entryBytes += count;
            written_ += count;
            if (written_ > limits_.totalBytes) throw tooLarge(name);
            if (header.size && entryBytes > *header.size)
                throw ArchiveError(arcDamaged, name + ": the data holds more than the header states");
            file.write(std::span<const char>(block.data(), count));
            info_.dwWriteSize = static_cast<uint32_t>(std::min<uint64_t>(written_, UINT32_MAX));
        }
        if (header.size && entryBytes < *header.size)
            throw ArchiveError(arcDamaged, name + ": the data ends before the size the header states");
        file.finish(header.modified);
    }

    ArchiveError tooLarge(const std::string& name) const
    {
        return ArchiveError(arcTooLarge, name + ": stopped, the archive unpacks to more than " +
                                             std::to_string(limits_.totalBytes) + " bytes");
    }

    bool stopAsked(ProgressState state)
    {
        stop_ = report_ && report_(state, info_);
        return stop_;
    }

    void stopped()
    {
        note("stopped at the caller's request");
        result_.result = arcAborted;
    }

    void note(const std::string& line) { result_.message += line + "\n"; }

    const ArchiveFormat& format_;
    const Command& command_;
    const ProgressReport& report_;
    const ExtractLimits& limits_;
    Destination destination_;
    ExtractingInfo info_{};
    ExtractResult result_;
    uint64_t written_ = 0;
    int files_ = 0;
    bool stop_ = false;
};

}  // namespace

ExtractResult extractArchive(const ArchiveFormat& format, const Command& command, const ProgressReport& report,
                             const ExtractLimits& limits)
{
    try {
        return Unpacking(format, command, report, limits).run();
    } catch (const ArchiveError& error) {
        return {error.result(), std::string(error.what()) + "\n"};
    }
}
