// libcab32.so: CAB archives, unpacked with -x (-j drops stored folders).
#include "arclib/library.h"

namespace {

const LibraryTable library{"Cab", cabFormat, {{{{"-x", true}, {nullptr, false}}}, nullptr, "-j", nullptr, nullptr}};

}  // namespace

ARCLIB_ENTRIES(Cab, library);
