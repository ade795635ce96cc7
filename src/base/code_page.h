// SPDX-License-Identifier: MIT
#pragma once
// UTF-8, the program's text inside, and Windows-1252, the Windows ANSI code page in which the
// dBASE files keep their text and in which many older CSV exports arrive.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace bx {

// Appends the UTF-8 form of the code point `c`.
void appendUtf8(std::string& out, std::uint32_t c);

// The character of a Windows-1252 byte; the five bytes the code page leaves undefined stay the
// control characters of their code points.
std::uint32_t windows1252Character(unsigned char b);

// The length of the UTF-8 character at `p`, of which `n` bytes are there: 0 when they begin
// one but do not complete it, -1 when they begin none (a stray continuation byte, an overlong
// form, a surrogate, a code point past U+10FFFF).
int utf8Length(const unsigned char* p, std::size_t n);

// Where the UTF-8 of `text` stops: at its end, or at the first character that is not valid or
// not complete. `beyondAscii` tells whether anything before that is more than ASCII.
std::size_t validUtf8(std::string_view text, bool& beyondAscii);
inline bool isUtf8(std::string_view text) {
    bool beyondAscii = false;
    return validUtf8(text, beyondAscii) == text.size();
}

// Windows-1252 bytes as UTF-8.
std::string windows1252ToUtf8(std::string_view text);

// UTF-8 text as Windows-1252 bytes into `out`. False when some characters have no byte in the
// code page (or the text is not UTF-8); `missing` then lists them, each once, in the order
// they come ("Ω, 中"), and `out` is incomplete.
bool utf8ToWindows1252(std::string_view text, std::string& out, std::string& missing);

}  // namespace bx
