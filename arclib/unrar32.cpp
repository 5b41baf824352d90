// libunrar32.so: RAR archives, unpacked with -x, or -e without stored folders.
#include "arclib/library.h"

namespace {

const LibraryTable library{"Unrar", rarFormat, {{{{"-x", true}, {"-e", false}}}, nullptr, nullptr, nullptr, nullptr}};

}  // namespace

ARCLIB_ENTRIES(Unrar, library);
