// QDArc: reads one item, chosen by its ID, out of the display component's own data
// archive, the "Rezadedur E Archive": a 256-byte header, a directory of 268-byte
// entries and the items' data, stored plain or compressed with byte pair encoding.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/exception.h"
#include "platform/stream.h"

// Raised for a stream that is no archive of this kind, holds no item with the
// requested ID, or is damaged.
class EQDAError : public Exception {
public:
    using Exception::Exception;
};

// Reads the item with the given ID (ASCII letter case ignored) from the archive file.
// A file that cannot be opened raises Exception.
std::unique_ptr<MemoryStream> QDALoadFromFile(const std::string& ArchiveName, const std::string& ID);
// The same on a stream positioned at the start of the archive.
std::unique_ptr<MemoryStream> QDALoadFromStream(Stream& Stream, const std::string& ID);
// True when the 256-byte header carries the signature "QDA0" in its bytes 4 to 7.
bool IsQDAHeader(const uint8_t* Header);
// Expands the compressed blocks from Source's position to its end. Size is the item
// size: the expansion may not produce more bytes than that, and a Size above 256 MiB
// is refused.
std::unique_ptr<MemoryStream> QDAExpand(Stream& Source, int64_t Size);
