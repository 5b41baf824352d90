// The entries every archiver library offers: the command line, the listing, the
// check and the owner window that receives progress messages.
#include "arclib/library.h"

#include "arclib/extractor.h"
#include "arclib/listing.h"
#include "platform/window_messages.h"

#include <cstring>
#include <map>
#include <memory>

namespace {

// The listings handed out and not yet closed; a handle is its listing's address.
std::map<HARC, std::unique_ptr<Listing>>& openListings()
{
    static std::map<HARC, std::unique_ptr<Listing>> listings;
    return listings;
}

Listing* listingOf(HARC archive)
{
    const auto found = openListings().find(archive);
    return found == openListings().end() ? nullptr : found->second.get();
}

// The window that receives "wm_arcextract" while a command runs; null for none.
HWND ownerWindow = nullptr;

// The message cut to the buffer and zero-terminated.
void writeOutput(const std::string& message, char* output, uint32_t size)
{
    if (!output || size == 0) return;
    const size_t count = std::min<size_t>(message.size(), size - 1);
    std::memcpy(output, message.data(), count);
    output[count] = '\0';
}

bool reportToOwner(ProgressState state, const ExtractingInfo& info)
{
    if (!ownerWindow) return false;
    static const uint32_t message = registerWindowMessage("wm_arcextract");
    return sendMessage(ownerWindow, message, state, reinterpret_cast<intptr_t>(&info)) != 0;
}

}  // namespace

int runCommand(const LibraryTable& library, HWND, const char* commandLine, char* output, uint32_t size)
{
    ExtractResult result;
    try {
        const Command command = parseCommand(commandLine ? commandLine : "", library.syntax);
        result = extractArchive(library.format, command, reportToOwner);
    } catch (const ArchiveError& error) {
        result = {error.result(), error.what()};
    } catch (const std::exception& error) {
        result = {arcWriteFailed, error.what()};
    }
    writeOutput(std::string(library.prefix) + ": " + result.message, output, size);
    return result.result;
}

HARC openArchive(const LibraryTable& library, const char* archive)
{
    try {
        auto listing = std::make_unique<Listing>(library.format, archive ? archive : "");
        const auto handle = reinterpret_cast<HARC>(listing.get());
        openListings().emplace(handle, std::move(listing));
        return handle;
    } catch (const std::exception&) {
        return 0;
    }
}

int closeArchive(HARC archive) { return openListings().erase(archive) == 1 ? 0 : -1; }

int findFirst(HARC archive, const char* wildcard, INDIVIDUALINFO* record)
{
    Listing* listing = listingOf(archive);
    return listing && record ? listing->findFirst(wildcard ? wildcard : "*", *record) : -1;
}

int findNext(HARC archive, INDIVIDUALINFO* record)
{
    Listing* listing = listingOf(archive);
    return listing && record ? listing->findNext(*record) : -1;
}

int32_t checkArchive(const LibraryTable& library, const char* archive)
{
    return archive && readsThrough(library.format, archive) ? 1 : 0;
}

int32_t setOwnerWindow(HWND window)
{
    ownerWindow = window;
    return 1;
}

int32_t killOwnerWindow(HWND window)
{
    if (window != ownerWindow) return 0;
    ownerWindow = nullptr;
    return 1;
}
