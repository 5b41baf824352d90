// The text rules of definitions: reading the file, lines, positions, words and integers.
#include "chr/definition_text.h"
#include "chr/qpchr.h"

#include "platform/exception.h"
#include "platform/stream.h"
#include "platform/text.h"

namespace definition_text {

namespace {

bool isSeparator(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool isBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

int digitValue(char c, bool hex)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (hex && c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (hex && c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Definition files are small texts; anything larger than this is refused unread.
constexpr int64_t maxDefinitionBytes = int64_t{64} << 20;

}  // namespace

std::string readDefinition(const std::string& path)
{
    std::string reason;
    auto file = FileStream::openRead(path, &reason);
    if (!file) throw EFileOpenError(displayText(path), reason);
    if (file->size() > maxDefinitionBytes) throw Exception("ファイル " + displayText(path) + " は大きすぎます");
    std::string text(static_cast<size_t>(file->size()), '\0');
    if (file->read(text.data(), file->size()) != file->size())
        throw EFileOpenError(displayText(path), "Input/output error");
    return text;
}

std::string_view nextLine(std::string_view text, size_t& start)
{
    size_t end = start;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
    const std::string_view line = text.substr(start, end - start);
    start = end + (text.substr(end).starts_with("\r\n") ? 2 : 1);
    return line;
}

std::string_view restFrom(std::string_view line, size_t p)
{
    if (p == 0 || p > line.size()) return {};
    return line.substr(p - 1, restLength);
}

std::string_view trim(std::string_view text)
{
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

Split split(std::string_view text)
{
    size_t end = 0;
    while (end < text.size() && !isSeparator(text[end])) ++end;
    if (end == text.size()) return {text, {}};
    return {text.substr(0, end), text.substr(end + 1)};
}

std::optional<int32_t> parseInteger(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    bool hex = false;
    if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i == text.size()) return std::nullopt;
    // Hexadecimal values use all 32 bits (FFFFFFFF is -1); decimal ones the signed range.
    const uint64_t limit = hex ? 0xFFFFFFFFu : (negative ? 0x80000000u : 0x7FFFFFFFu);
    uint64_t value = 0;
    for (; i < text.size(); ++i) {
        const int digit = digitValue(text[i], hex);
        if (digit < 0) return std::nullopt;
        value = value * (hex ? 16 : 10) + static_cast<uint64_t>(digit);
        if (value > limit) return std::nullopt;
    }
    const auto bits = static_cast<uint32_t>(negative ? (~value + 1) : value);
    return static_cast<int32_t>(bits);
}

int32_t toInteger(std::string_view text)
{
    const auto value = parseInteger(text);
    if (!value) throw EConvertError(displayText(text));
    return *value;
}

int32_t hexPairValue(std::string_view pair)
{
    if (pair.size() == 2) {
        const int high = digitValue(pair[0], true);
        const int low = digitValue(pair[1], true);
        if (high >= 0 && low >= 0) return high * 16 + low;
    }
    return toInteger("$" + std::string(trim(pair)));
}

bool startsWithKeyword(std::string_view line, std::string_view keyword)
{
    if (line.size() < keyword.size()) return false;
    for (size_t i = 0; i < keyword.size(); ++i) {
        char c = line[i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c != keyword[i]) return false;
    }
    return true;
}

std::optional<AnimeLine> animeLine(std::string_view value)
{
    const int32_t anime = toInteger(trim(value.substr(0, 2)));
    if (anime < 0 || anime >= Tqpchr::AnimeCount) return std::nullopt;
    return AnimeLine{static_cast<size_t>(anime), trim(value.size() > 2 ? value.substr(2) : std::string_view{})};
}

std::optional<int32_t> patternNumber(std::string_view line, bool hex)
{
    if (hex) {
        if (trim(line.substr(1, 3)).size() != 2) return std::nullopt;
        return hexPairValue(line.substr(1, 2));
    }
    return parseInteger(trim(line.substr(1, 2)));
}

Rect patternCell(std::string_view line)
{
    std::string_view rest = restFrom(line, 4);
    int32_t fields[4];
    for (int32_t& field : fields) {
        const Split next = split(trim(rest));
        field = toInteger(trim(next.word));
        rest = next.remainder;
    }
    return Rect{fields[0], fields[1], wrappingAdd(fields[0], fields[2]), wrappingAdd(fields[1], fields[3])};
}

}  // namespace definition_text
