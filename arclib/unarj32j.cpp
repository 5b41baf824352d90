// libunarj32j.so: ARJ archives, unpacked with x (folders kept unless -x0) or e.
#include "arclib/library.h"

namespace {

const LibraryTable library{"Unarj", arjFormat, {{{{"x", true}, {"e", false}}}, "-x", nullptr, nullptr, nullptr}};

}  // namespace

ARCLIB_ENTRIES(Unarj, library);
