// Finding the stub of a self-extracting archive, naming the result and writing it.
#include "archive/self_extractor.h"

#include "archive/archiver_error.h"
#include "archive/archiver_options.h"
#include "platform/exception.h"
#include "platform/file_system.h"
#include "platform/stream.h"
#include "platform/text.h"

namespace {

// The whole file; EFileOpenError when it cannot be read.
std::string fileContents(const std::string& path)
{
    std::string reason;
    const auto file = FileStream::openRead(path, &reason);
    if (!file) throw EFileOpenError(displayText(path), reason);
    std::string bytes(static_cast<size_t>(file->size()), '\0');
    if (file->read(bytes.data(), file->size()) != file->size())
        throw EFileOpenError(displayText(path), "Input/output error");
    return bytes;
}

}  // namespace

std::string findSelfExtractorStub(const std::string& stubName, const std::string& missingMessage)
{
    // The search holds paths of up to 512 characters; a stub found at a longer path
    // counts as not found.
    const std::string stub = searchSystemPath(stubName);
    if (stub.empty() || stub.size() > MaxStubPathLength) throw EArchiver(missingMessage);
    return stub;
}

std::string selfExtractorPath(const std::string& archive, const std::string& folder)
{
    const size_t nameStart = archive.rfind('/') + 1;  // 0 without a folder part
    const size_t dot = archive.rfind('.');
    const bool hasExtension = dot != std::string::npos && dot >= nameStart;
    const std::string target = (hasExtension ? archive.substr(0, dot) : archive) + ".EXE";
    if (folder.empty() || isUnset(folder)) return target;
    const std::string name = target.substr(nameStart);
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

// Both sources are read before the target is created, so a source that cannot be
// read leaves nothing behind, and a target of the archive's own name still receives
// the whole archive.
void writeSelfExtractor(const std::string& stub, const std::string& archive, const std::string& target)
{
    const std::string archiveBytes = fileContents(archive);
    const std::string bytes = fileContents(stub) + archiveBytes;
    if (replaceFile(target, bytes) != 0) throw Exception("ファイル " + displayText(target) + " を作成できません");
}
