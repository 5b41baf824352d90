// Shift-JIS (CP932) text helpers. Strings from package files and archives are kept as
// their 8-bit bytes; these helpers work on those bytes directly.
#pragma once

#include <string>
#include <string_view>

// Turns the ASCII letters A-Z to lower (or a-z to upper) case and leaves every other
// byte as it is. The second byte of a double-byte character is never changed, even
// when it has the code of an ASCII letter ("ア" is 0x83 0x41).
std::string cp932LowerCase(std::string_view text);
std::string cp932UpperCase(std::string_view text);

// CP932 bytes as UTF-8; bytes that are no CP932 character become U+FFFD.
std::string cp932ToUtf8(std::string_view text);
// True when the bytes are well-formed UTF-8.
bool isValidUtf8(std::string_view text);
// A text read from a package, for a message or a UTF-8 output: kept when it is
// already UTF-8, otherwise decoded from CP932.
std::string displayText(std::string_view text);
// The first count characters of a UTF-8 text; a character is never cut in two.
std::string firstUtf8Characters(std::string_view text, size_t count);
// Turns every "\" that is a character of its own (not the second byte of a
// double-byte character) into "/".
std::string cp932ForwardSlashes(std::string_view text);
// True when text ends with ending, the ASCII letters of the two compared without
// regard to case and every other byte as it is.
bool endsWithIgnoringCase(std::string_view text, std::string_view ending);
