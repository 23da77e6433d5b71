// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Code page 936 as Windows defines it (ICU's "windows-936-2000": 0x80 is the euro sign).
// Conversion is table-driven, one lookup a character, with tables generated from ICU's mapping
// (cp936_tables.h); ICU itself is not needed.
namespace cp936 {

// Appends the UTF-8 text of `bytes` to `out`; bytes the code page does not define become U+FFFD,
// exactly where ICU's converter puts them. Returns how many bytes it consumed: all of them with
// `atEnd`, otherwise a lead byte that ends `bytes` is left for the next call.
std::size_t decode(std::string_view bytes, bool atEnd, std::string& out);

// Appends the code page 936 bytes of UTF-8 `text` to `out`. A character the code page cannot
// hold, and each byte of malformed UTF-8, becomes '?'.
void encode(std::string_view text, std::string& out);

// The character `bytes` starts with, which is not ASCII: its UTF-16 unit (U+FFFD for a byte that
// makes none) and its length in bytes. A length of 0 for a lead byte that ends `bytes`.
struct Char {
    char16_t unit;
    std::size_t length;
};
Char firstChar(std::string_view bytes);

// GB2312's first level: the 3,755 commonest hanzi, in which nearly every name and company is
// written: the bytes 0xB0A1 to 0xD7F9, every lead byte taking the trail bytes 0xA1 to 0xFE.
inline bool isCommonHanzi(unsigned lead, unsigned trail) {
    return lead - 0xB0u <= 0xD7u - 0xB0u && trail - 0xA1u <= (lead == 0xD7 ? 0xF9u : 0xFEu) - 0xA1u;
}
bool isCommonHanzi(char32_t c);

}  // namespace cp936
