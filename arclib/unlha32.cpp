// libunlha32.so: LHA archives, unpacked with x (folders kept unless -x0) or e.
#include "arclib/library.h"

namespace {

const LibraryTable library{"Unlha", lhaFormat, {{{{"x", true}, {"e", false}}}, "-x", nullptr, nullptr, nullptr}};

}  // namespace

ARCLIB_ENTRIES(Unlha, library);
