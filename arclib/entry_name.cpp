// Entry names as UTF-8, their safe parts, and wildcard matching.
#include "arclib/entry_name.h"

#include "arclib/archive_error.h"
#include "platform/safe_path.h"
#include "platform/text.h"

#include <utility>

namespace {

char folded(char c)
{
    if (c >= 'A' && c <= 'Z') return static_cast<char>(c - 'A' + 'a');
    return c == '\\' ? '/' : c;
}

// Whether c is in the set starting after "[" at position set; end receives the
// position after "]", or npos when the set has no end (then "[" is a plain character).
bool inSet(std::string_view wildcard, size_t set, char c, size_t& end)
{
    bool negated = set < wildcard.size() && (wildcard[set] == '!' || wildcard[set] == '^');
    size_t i = negated ? set + 1 : set;
    bool found = false;
    bool first = true;
    for (; i < wildcard.size() && (first || wildcard[i] != ']'); ++i, first = false) {
        if (i + 2 < wildcard.size() && wildcard[i + 1] == '-' && wildcard[i + 2] != ']') {
            found = found || (folded(c) >= folded(wildcard[i]) && folded(c) <= folded(wildcard[i + 2]));
            i += 2;
        } else {
            found = found || folded(c) == folded(wildcard[i]);
        }
    }
    end = i < wildcard.size() ? i + 1 : std::string_view::npos;
    return found != negated;
}

}  // namespace

std::string utf8EntryName(std::string_view stored)
{
    return isValidUtf8(stored) ? std::string(stored) : cp932ToUtf8(stored);
}

std::vector<std::string> relativeParts(const std::string& name)
{
    StoredPath path = storedPathParts(name);
    switch (path.fault) {
    case StoredPathFault::none: return std::move(path.parts);
    case StoredPathFault::absolute: throw ArchiveError(arcUnsafePath, name + ": refused, the path is absolute");
    case StoredPathFault::nulByte:  // the name is shown up to its NUL, where a message ends
        throw ArchiveError(arcUnsafePath, std::string(name.c_str()) + ": refused, the path holds a NUL byte");
    case StoredPathFault::leadsOut:
        throw ArchiveError(arcUnsafePath, name + ": refused, the path leads out of the folder");
    case StoredPathFault::noName: break;
    }
    throw ArchiveError(arcUnsafePath, name + ": refused, the path names no file");
}

bool matchesWildcard(std::string_view wildcard, std::string_view name, bool bracketClasses)
{
    if (wildcard == "*.*") return true;
    size_t w = 0;
    size_t n = 0;
    size_t starW = std::string_view::npos;
    size_t starN = 0;
    while (n < name.size()) {
        size_t setEnd = std::string_view::npos;
        if (w < wildcard.size() && wildcard[w] == '*') {
            starW = w++;
            starN = n;
            continue;
        }
        if (w < wildcard.size() && bracketClasses && wildcard[w] == '[') {
            const bool in = inSet(wildcard, w + 1, name[n], setEnd);
            if (setEnd != std::string_view::npos && in) {
                w = setEnd;
                ++n;
                continue;
            }
        }
        if (w < wildcard.size() && setEnd == std::string_view::npos &&
            (wildcard[w] == '?' || folded(wildcard[w]) == folded(name[n]))) {
            ++w;
            ++n;
            continue;
        }
        if (starW == std::string_view::npos) return false;
        w = starW + 1;
        n = ++starN;
    }
    while (w < wildcard.size() && wildcard[w] == '*') ++w;
    return w == wildcard.size();
}
