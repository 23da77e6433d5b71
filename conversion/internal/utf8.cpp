// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "utf8.h"

#include <cstdint>
#include <cstring>

namespace utf8 {
namespace {

enum class SeqKind { Valid, Invalid, Truncated };

struct Seq {
    std::size_t length;  // Valid: the character; Invalid: the subpart to replace (at least 1)
    SeqKind kind;
};

// Classifies the sequence starting at a non-ASCII byte, following the Unicode table of
// well-formed byte sequences (no overlongs, no surrogates, nothing above U+10FFFF).
Seq classify(const unsigned char* p, const unsigned char* end) {
    const unsigned lead = p[0];
    std::size_t trailing;
    unsigned lo = 0x80, hi = 0xBF;
    if (lead < 0x80) {
        return {1, SeqKind::Valid};
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        trailing = 1;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        trailing = 2;
        if (lead == 0xE0) lo = 0xA0;
        if (lead == 0xED) hi = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        trailing = 3;
        if (lead == 0xF0) lo = 0x90;
        if (lead == 0xF4) hi = 0x8F;
    } else {
        return {1, SeqKind::Invalid};
    }
    for (std::size_t i = 1; i <= trailing; ++i) {
        if (p + i == end) return {i, SeqKind::Truncated};
        if (p[i] < lo || p[i] > hi) return {i, SeqKind::Invalid};
        lo = 0x80;
        hi = 0xBF;
    }
    return {trailing + 1, SeqKind::Valid};
}

// The code point of the valid character of `length` bytes at `p`.
char32_t codePointOf(const unsigned char* p, std::size_t length) {
    switch (length) {
        case 1:
            return p[0];
        case 2:
            return (p[0] & 0x1Fu) << 6 | (p[1] & 0x3Fu);
        case 3:
            return (p[0] & 0x0Fu) << 12 | (p[1] & 0x3Fu) << 6 | (p[2] & 0x3Fu);
        default:
            return (p[0] & 0x07u) << 18 | (p[1] & 0x3Fu) << 12 | (p[2] & 0x3Fu) << 6 |
                   (p[3] & 0x3Fu);
    }
}

const unsigned char* skipAsciiBytes(const unsigned char* p, const unsigned char* end) {
    constexpr std::uint64_t HighBits = 0x8080808080808080ull;
    while (end - p >= 8) {
        std::uint64_t word;
        std::memcpy(&word, p, sizeof word);
        if (word & HighBits) break;
        p += 8;
    }
    while (p < end && *p < 0x80) ++p;
    return p;
}

}  // namespace

std::size_t asciiPrefixLength(std::string_view bytes) {
    const auto* begin = reinterpret_cast<const unsigned char*>(bytes.data());
    return static_cast<std::size_t>(skipAsciiBytes(begin, begin + bytes.size()) - begin);
}

std::size_t validPrefixLength(std::string_view bytes) {
    const auto* begin = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = begin + bytes.size();
    const unsigned char* p = begin;
    while ((p = skipAsciiBytes(p, end)) < end) {
        const Seq seq = classify(p, end);
        if (seq.kind != SeqKind::Valid) break;
        p += seq.length;
    }
    return static_cast<std::size_t>(p - begin);
}

bool isTruncatedChar(std::string_view tail) {
    if (tail.empty()) return false;
    const auto* p = reinterpret_cast<const unsigned char*>(tail.data());
    return classify(p, p + tail.size()).kind == SeqKind::Truncated;
}

std::size_t sanitize(std::string_view bytes, bool atEnd, std::string& out) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const std::size_t valid = validPrefixLength(bytes.substr(done));
        out.append(bytes.data() + done, valid);
        done += valid;
        if (done == bytes.size()) break;
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.data()) + done;
        const Seq seq = classify(p, p + (bytes.size() - done));
        if (seq.kind == SeqKind::Truncated && !atEnd) break;
        out += ReplacementChar;
        done += seq.length;
    }
    return done;
}

std::size_t weigh(std::string_view bytes, bool atEnd, Evidence& evidence) {
    const auto* begin = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = begin + bytes.size();
    const unsigned char* p = begin;
    while ((p = skipAsciiBytes(p, end)) < end) {
        const Seq seq = classify(p, end);
        if (seq.kind == SeqKind::Truncated && !atEnd) break;
        ++(seq.kind == SeqKind::Valid ? evidence.multiByteChars : evidence.invalidSequences);
        p += seq.length;
    }
    return static_cast<std::size_t>(p - begin);
}

void append(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

Char firstChar(std::string_view text) {
    if (text.empty()) return {0, 0};
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const Seq seq = classify(p, p + text.size());
    if (seq.kind != SeqKind::Valid) return {0, 0};
    return {codePointOf(p, seq.length), seq.length};
}

Sequence firstSequence(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const Seq seq = classify(p, p + bytes.size());
    switch (seq.kind) {
        case SeqKind::Valid:
            return {codePointOf(p, seq.length), seq.length, true};
        case SeqKind::Invalid:
            return {U'\uFFFD', seq.length, false};
        case SeqKind::Truncated:
            break;
    }
    return {0, 0, false};
}

}  // namespace utf8
