// The caller's switches for an archiver, named after the letters of the LHA
// library's command line; each driver maps them onto its own library's syntax.
// 8-bit fields use -1 for "not given"; string fields use the unset string.
#pragma once

#include "platform/enum_set.h"

#include <cstdint>
#include <string>
#include <vector>

// A string option or file name that is not given: one NUL character. An empty
// string is a given value.
inline const std::string UnsetString(1, '\0');
inline bool isUnset(const std::string& value) { return value == UnsetString; }

enum TPackFilter { pfArchiver, pfComponent };
enum TResFileUsageItem { ruOnPack, ruOnUnpack, ruOnRemoveItem, ruOnUpdate };
using TResFileUsage = EnumSet<TResFileUsageItem>;

struct TArchiverOptions {
    int8_t a = -1, c = -1, e = -1, f = -1, h = -1, i = -1, l = -1, m = -1, n = -1, o = -1, p = -1, r = -1, s = -1,
           t = -1, u = -1;
    std::string w = UnsetString;
    int8_t x = -1, y = -1, z = -1, jc = -1, jd = -1, je = -1, jf = -1, jh = -1, ji = -1, jm = -1, jn = -1;
    std::string jo = UnsetString;
    std::string job = UnsetString;
    int8_t jp = -1, jr = -1, jss = -1, jw = -1;
    std::vector<std::string> jx{};
    int8_t jyc = -1, jyd = -1, jyk = -1, jyn = -1, jyo = -1;
    std::string jz = UnsetString;
    int8_t ga = -1, gd = -1, ge = -1, gf = -1, gj = -1, gm = -1, gn = -1, go = -1, gp = -1;
    std::string gr = UnsetString;
    int8_t gs = -1, gu = -1, gw = -1;
    std::string UserOptions{};
    std::string UserFileList{};
    TPackFilter PackFilter = pfArchiver;
    std::string ResFileName{};
    TResFileUsage ResFileUsage{ruOnPack, ruOnUnpack, ruOnRemoveItem};
    // Copying an option set copies every field, jx by content (value semantics).
    // Every field has its initialiser, so a set can be written with only the fields it
    // gives ({.a = 0, .x = 1}).
};
