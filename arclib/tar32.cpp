// libtar32.so: tar archives, plain or with gzip, compress or bzip2, unpacked with x.
#include "arclib/library.h"

namespace {

const LibraryTable library{
    "Tar", tarFormat, {{{{"x", true}, {nullptr, false}}}, "--use-directory=", nullptr, "-f", "-o"}};

}  // namespace

ARCLIB_ENTRIES(Tar, library);

ARCLIB_EXPORT int TarGetArchiveType(const char* archive) { return archive ? tarArchiveType(archive) : 0; }
