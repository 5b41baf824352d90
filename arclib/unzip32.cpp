// libunzip32.so: ZIP archives, unpacked with -x (-j drops stored folders).
#include "arclib/library.h"

namespace {

const LibraryTable library{"UnZip", zipFormat, {{{{"-x", true}, {nullptr, false}}}, nullptr, "-j", nullptr, nullptr}};

}  // namespace

ARCLIB_ENTRIES(UnZip, library);
