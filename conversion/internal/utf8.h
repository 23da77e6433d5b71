// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// UTF-8 checks and repair. Everything behind the decoders works on valid UTF-8 only.
namespace utf8 {

// Length of the run of ASCII that `bytes` starts with.
std::size_t asciiPrefixLength(std::string_view bytes);

// Length of the longest prefix of `bytes` made of whole, valid UTF-8 characters.
std::size_t validPrefixLength(std::string_view bytes);

// True when `tail` is the valid beginning of a character that the next bytes may complete.
bool isTruncatedChar(std::string_view tail);

// Appends `bytes` to `out`, each maximal invalid subpart replaced by U+FFFD. Returns how many
// bytes it consumed: all of them with `atEnd`, otherwise a character cut by the end of `bytes`
// is left for the next call.
std::size_t sanitize(std::string_view bytes, bool atEnd, std::string& out);

// What bytes say about being UTF-8: characters of two or more bytes that are whole and valid,
// and invalid sequences, each maximal invalid subpart counted once (as it is replaced once).
struct Evidence {
    std::uint64_t multiByteChars = 0;
    std::uint64_t invalidSequences = 0;
};

// Adds what `bytes` say to `evidence`. Returns how many bytes it weighed: all of them with
// `atEnd`, otherwise a character cut by the end of `bytes` is left for the next call.
std::size_t weigh(std::string_view bytes, bool atEnd, Evidence& evidence);

// Appends the UTF-8 of code point `c` (not a surrogate) to `out`.
void append(std::string& out, char32_t c);

// The character that `text` starts with; a length of 0 when it does not start with a whole,
// valid one.
struct Char {
    char32_t codePoint;
    std::size_t length;
};
Char firstChar(std::string_view text);

// The character or the maximal invalid subpart (which stands for U+FFFD) that `bytes` starts with,
// its first byte 0x80 or up. A length of 0 for the valid start of a character cut by the end of
// `bytes`.
struct Sequence {
    char32_t codePoint;
    std::size_t length;
    bool valid;
};
Sequence firstSequence(std::string_view bytes);

inline constexpr std::string_view ReplacementChar = "\xEF\xBF\xBD";
inline constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

}  // namespace utf8
