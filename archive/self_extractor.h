// Self-extracting archives as the ZIP and TAR drivers make them: a stub found on the
// system search path, followed by the archive, in a file named after the archive.
#pragma once

#include <cstddef>
#include <string>

// The longest stub path the search holds.
inline constexpr size_t MaxStubPathLength = 512;

// The full path of the stub on the system search path (at most MaxStubPathLength
// characters), or EArchiver with the message.
std::string findSelfExtractorStub(const std::string& stubName, const std::string& missingMessage);
// The archive path with its extension replaced by ".EXE", in the folder when one is
// given.
std::string selfExtractorPath(const std::string& archive, const std::string& folder);
// The stub followed by the archive, written into the target (created or replaced).
void writeSelfExtractor(const std::string& stub, const std::string& archive, const std::string& target);
