// TarGetArchiveType of the stand-in for tar32.dll: the number the archive path begins
// with, so a test names the answer it wants (a path made full begins with "/": 0).
#include <cstdlib>

extern "C" int TarGetArchiveType(const char* archive) { return std::atoi(archive); }
