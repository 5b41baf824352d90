// A library with a command entry and nothing else, found only by the system loader.
#include "platform/archiver_contract.h"

extern "C" int Sysarc(HWND, const char*, char*, uint32_t) { return 0; }
