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
