// The definition check: one pass over the lines as the load reads them, with the
// same text rules, then the checks that need the whole file (cells named but never
// defined, cells outside the CG, loop frames past the end).
#include "chr/lint.h"

#include "chr/cg_check.h"
#include "chr/definition_format.h"
#include "chr/qpchr.h"
#include "platform/exception.h"
#include "platform/file_system.h"
#include "platform/text.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <cstdio>

using namespace definition_text;

namespace {

using Severity = LintFinding::Severity;
using PatternSet = std::bitset<Tqpchr::PatternCount>;

constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";

bool isAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool hasNonAscii(std::string_view text)
{
    return std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

// True when one letter added, left out, changed or two neighbours swapped turn a into b.
bool oneEditApart(std::string_view a, std::string_view b)
{
    if (a.size() > b.size()) std::swap(a, b);
    if (b.size() - a.size() > 1 || a == b) return false;
    size_t i = 0;
    while (i < a.size() && a[i] == b[i]) ++i;
    if (a.size() < b.size()) return a.substr(i) == b.substr(i + 1);
    if (a.substr(i + 1) == b.substr(i + 1)) return true;
    return i + 1 < a.size() && a[i] == b[i + 1] && a[i + 1] == b[i] && a.substr(i + 2) == b.substr(i + 2);
}

// A pattern as lists write it (a hexadecimal pair) and as a number.
std::string patternName(size_t pattern)
{
    char name[16];
    std::snprintf(name, sizeof name, "%02zX (%zu)", pattern, pattern);
    return name;
}

std::string animeName(size_t anime)
{
    char name[8];
    std::snprintf(name, sizeof name, "%02zu", anime);
    return name;
}

// The patterns one "#PATERN" or "#LAYER" line names.
struct ListUse {
    int32_t line = 0;
    size_t anime = 0;
    PatternSet patterns;
};

class Linter {
public:
    explicit Linter(LintReport& report) : report_(report) {}
    void run(const std::string& fileName);

private:
    void add(Severity severity, std::string message) { add(line_, severity, std::move(message)); }
    void add(int32_t line, Severity severity, std::string message)
    {
        report_.findings.push_back({line, severity, std::move(message)});
    }
    void fail(const Exception& error);

    void checkEncoding(std::string_view text);
    void checkLine(std::string_view line);
    void checkSpelling(std::string_view line);
    void checkCg(std::string_view value);
    void checkLoop(std::string_view line);
    void checkLists(std::string_view line, Keyword keyword);
    int decode(std::string_view list, std::string_view kind, bool source, ListUse& use);
    void checkLengths(std::string_view kind, size_t anime, int sources, int destinations);
    void checkPatternDefinition(std::string_view line);
    void checkWholeFile();

    LintReport& report_;
    PackagePathResolver resolver_;
    std::string folder_;
    int32_t line_ = 0;
    bool datahex_ = false;
    bool utf8_ = false;  // UTF-8 text whose first line with a multi-byte character is not named yet
    std::optional<BitmapHeader> cg_;
    std::array<int32_t, Tqpchr::PatternCount> definedOn_{};  // the line of each cell's last definition
    std::array<Rect, Tqpchr::PatternCount> cells_{};
    PatternSet sources_;  // cells cut from the CG
    std::vector<ListUse> uses_;
    std::array<int32_t, Tqpchr::AnimeCount> length_{};  // frames before the end test holds
    std::array<int32_t, Tqpchr::AnimeCount> loopLine_{};
    std::array<int32_t, Tqpchr::AnimeCount> loopFrame_{};
};

void Linter::run(const std::string& fileName)
{
    std::string text;
    try {
        const std::string chpfile = resolver_.resolve(fileName);
        folder_ = folderOf(chpfile);
        text = readDefinition(chpfile);
    } catch (const Exception& error) {
        fail(error);
        return;
    }
    checkEncoding(text);
    for (size_t start = 0; start < text.size();) {
        ++line_;
        checkLine(nextLine(text, start));
    }
    checkWholeFile();
}

// Every error is reported with its reason; the first error is where the load stops.
void Linter::fail(const Exception& error)
{
    add(Severity::Error, error.messageWithReason());
    if (!report_.loadFailure) report_.loadFailure = LoadFailure{line_, error.message()};
}

void Linter::checkEncoding(std::string_view text)
{
    if (text.starts_with(byteOrderMark)) {
        const bool hidesKeyword = text.substr(byteOrderMark.size()).starts_with('#');
        add(1, Severity::Warning,
            std::string("the file is UTF-8 with a byte order mark, not Shift-JIS") +
                (hidesKeyword ? ": the mark stands before the '#' of line 1, which is therefore not read" : ""));
        return;
    }
    utf8_ = hasNonAscii(text) && isValidUtf8(text);
}

void Linter::checkLine(std::string_view line)
{
    if (utf8_ && hasNonAscii(line)) {
        add(Severity::Warning,
            "the file is UTF-8, not Shift-JIS: its Japanese names and file names are read as other characters");
        utf8_ = false;
    }
    if (!line.starts_with('#')) return;
    checkSpelling(line);
    // The first value that raises an error in the load is the error of the line.
    try {
        if (const auto keyword = lineKeyword(line)) {
            if (*keyword == Keyword::Anime) toInteger(keywordValue(line, *keyword));
            if (*keyword == Keyword::Data && isHexData(line)) datahex_ = true;
            if (*keyword == Keyword::Size) toInteger(keywordWord(line, *keyword));
            if (*keyword == Keyword::CharBmp) checkCg(keywordWord(line, *keyword));
            if (*keyword == Keyword::Loop) checkLoop(line);
            if (*keyword == Keyword::Patern || *keyword == Keyword::Layer) checkLists(line, *keyword);
        }
        checkPatternDefinition(line);
    } catch (const Exception& error) {
        fail(error);
    }
}

// The letters after "#": a keyword with more letters is read as the keyword, and a
// word one slip away from a keyword is no keyword at all.
void Linter::checkSpelling(std::string_view line)
{
    size_t end = 1;
    while (end < line.size() && isAsciiLetter(line[end])) ++end;
    const std::string written(line.substr(0, end));
    const std::string word = cp932UpperCase(line.substr(1, end - 1));
    const auto isKeyword = [&word](const KeywordFormat& format) { return format.name == word; };
    if (word.size() < 3 || std::any_of(std::begin(keywordFormats), std::end(keywordFormats), isKeyword)) return;
    for (const KeywordFormat& format : keywordFormats) {
        if (word.starts_with(format.name)) {
            add(Severity::Warning, "'" + written + "' is read as '#" + std::string(format.name) + "' followed by '" +
                                       written.substr(format.name.size() + 1) + "'");
            return;
        }
    }
    for (const KeywordFormat& format : keywordFormats) {
        if (oneEditApart(word, format.name)) {
            add(Severity::Warning, "'" + written + "' is no keyword, so the line does nothing; '#" +
                                       std::string(format.name) + "' is meant?");
            return;
        }
    }
}

void Linter::checkCg(std::string_view value)
{
    const std::string named = folder_ + "/" + cp932ForwardSlashes(value);
    const std::string path = resolver_.resolve(named);
    if (path != named) {
        const std::string how =
            path == cp932ToUtf8(named) ? "after decoding its name from Shift-JIS" : "by ignoring letter case";
        add(Severity::Warning, "the CG '" + displayText(value) + "' is found only " + how + ", as '" +
                                   displayText(path) + "'; other systems may not find it");
    }
    // A CG that fails to load leaves no size to check the cells against.
    cg_.reset();
    cg_ = readCgHeader(path);
    const CgFindings found = cgFindings(path);
    if (found.problem) add(Severity::Error, "CG " + displayText(path) + " を読み込めません: " + *found.problem);
    for (const std::string& difference : found.differences) add(Severity::Warning, difference);
}

void Linter::checkLoop(std::string_view line)
{
    const auto loop = loopLine(line);
    if (!loop) return;
    loopLine_[loop->anime] = line_;
    loopFrame_[loop->anime] = loop->frame;
}

void Linter::checkLists(std::string_view line, Keyword keyword)
{
    const auto lists = animeLists(line, keyword);
    if (!lists) return;
    const std::string kind = keyword == Keyword::Layer ? "layer" : "pattern";
    ListUse use{line_, lists->anime, {}};
    const int sources = decode(lists->source, kind + " source list", true, use);
    if (lists->destination) {
        const int destinations = decode(*lists->destination, kind + " destination list", false, use);
        // A pattern line's empty destination list is one the load reads as none.
        if (keyword == Keyword::Layer || destinations > 0) checkLengths(kind, use.anime, sources, destinations);
    }
    uses_.push_back(use);
}

// Reads a list's pairs as the load does; returns the number of entries.
int Linter::decode(std::string_view list, std::string_view kind, bool source, ListUse& use)
{
    const int count = decodePairs(list, [&](int, int32_t value, std::string_view) {
        const auto pattern = static_cast<size_t>(value);
        use.patterns.set(pattern);
        if (source) sources_.set(pattern);
    });
    if (list.size() % 2 == 1 && count < Tqpchr::FrameCount - 1)
        add(Severity::Warning, "the " + std::string(kind) + " of anime " + animeName(use.anime) +
                                   " ends in an odd character '" + displayText(list.substr(list.size() - 1)) +
                                   "', which is not read");
    if (source) length_[use.anime] = std::max(length_[use.anime], count);
    return count;
}

void Linter::checkLengths(std::string_view kind, size_t anime, int sources, int destinations)
{
    const std::string lists = "the " + std::string(kind) + " lists of anime " + animeName(anime);
    if (sources == destinations) return;
    if (sources == 0)
        add(Severity::Warning, lists + ": a destination list without a source list");
    else if (destinations == 0)
        add(Severity::Warning, lists + ": a source list without a destination list, so its cells are not drawn");
    else
        add(Severity::Warning, lists + " differ in length (" + std::to_string(sources) + " and " +
                                   std::to_string(destinations) + " entries)");
}

void Linter::checkPatternDefinition(std::string_view line)
{
    const auto number = patternNumber(line, datahex_);
    if (!number || *number < 1 || *number >= Tqpchr::PatternCount) return;
    const auto pattern = static_cast<size_t>(*number);
    const Rect cell = patternCell(line);
    if (definedOn_[pattern] != 0)
        add(Severity::Warning, "pattern " + patternName(pattern) + " is defined again; the definition on line " +
                                   std::to_string(definedOn_[pattern]) + " no longer counts");
    definedOn_[pattern] = line_;
    cells_[pattern] = cell;
}

void Linter::checkWholeFile()
{
    for (const ListUse& use : uses_) {
        // Pattern 0 can never be defined; lists use it for a frame that shows nothing.
        for (size_t pattern = 1; pattern < Tqpchr::PatternCount; ++pattern)
            if (use.patterns[pattern] && definedOn_[pattern] == 0)
                add(use.line, Severity::Warning,
                    "anime " + animeName(use.anime) + " names pattern " + patternName(pattern) +
                        ", which no line defines");
    }
    if (cg_) {
        sources_.set(1);  // the background
        for (size_t pattern = 1; pattern < Tqpchr::PatternCount; ++pattern) {
            const Rect& c = cells_[pattern];
            if (!sources_[pattern] || definedOn_[pattern] == 0 || c.right <= c.left || c.bottom <= c.top) continue;
            if (c.left < 0 || c.top < 0 || c.right > cg_->width || c.bottom > cg_->height)
                add(definedOn_[pattern], Severity::Warning,
                    "pattern " + patternName(pattern) + " reaches outside the CG of " + std::to_string(cg_->width) +
                        " x " + std::to_string(cg_->height) + " pixels");
        }
    }
    for (size_t anime = 0; anime < Tqpchr::AnimeCount; ++anime) {
        if (loopLine_[anime] == 0 || loopFrame_[anime] <= 0 || loopFrame_[anime] < length_[anime]) continue;
        const std::string last = length_[anime] > 0 ? " after its last frame, " + std::to_string(length_[anime]) + ","
                                                    : " but has no frames,";
        add(loopLine_[anime], Severity::Warning,
            "anime " + animeName(anime) + " goes on at frame " + std::to_string(int64_t{loopFrame_[anime]} + 1) + last +
                " so it stands still on an empty frame");
    }
    std::stable_sort(report_.findings.begin(), report_.findings.end(),
                     [](const LintFinding& a, const LintFinding& b) { return a.line < b.line; });
}

}  // namespace

bool LintReport::hasError() const
{
    return std::any_of(findings.begin(), findings.end(),
                       [](const LintFinding& f) { return f.severity == LintFinding::Severity::Error; });
}

LintReport lintDefinition(const std::string& fileName)
{
    LintReport report;
    Linter(report).run(fileName);
    return report;
}
