#pragma once

#include <cstddef>
#include <string_view>

namespace lumio {

// The multibyte code pages whose characters the program can step through. Every text
// of the program is a byte string in the system's code page.
enum class CodePage { Utf8, ShiftJis };

// The code page of the running system, taken from the locale (UTF-8 on a normal
// Linux desktop).
CodePage SystemCodePage();

// Length in bytes of the character that starts at `pos` (at least 1, never past the end).
std::size_t CharacterLength(std::string_view text, std::size_t pos, CodePage codePage);

// Byte position of the first character at or after `from` that equals the single-byte
// character `c`; the second byte of a double-byte character never matches.
// std::string_view::npos when there is none.
std::size_t FindCharacter(std::string_view text, char c, CodePage codePage, std::size_t from = 0);

// Byte position of the last character that is one of the single-byte characters in
// `anyOf`, stepping whole characters; npos when there is none.
std::size_t FindLastCharacter(std::string_view text, std::string_view anyOf, CodePage codePage);

}  // namespace lumio
