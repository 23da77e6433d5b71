// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "cp936.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "cp936_tables.h"
#include "utf8.h"

namespace cp936 {
namespace {

using namespace tables;

// Appends the UTF-8 of `unit` at `dst`, which has room for three bytes; returns its new end.
char* putUtf8(char* dst, char16_t unit) {
    if (unit < 0x80) {
        *dst = static_cast<char>(unit);
        return dst + 1;
    }
    if (unit < 0x800) {
        dst[0] = static_cast<char>(0xC0 | unit >> 6);
        dst[1] = static_cast<char>(0x80 | (unit & 0x3F));
        return dst + 2;
    }
    dst[0] = static_cast<char>(0xE0 | unit >> 12);
    dst[1] = static_cast<char>(0x80 | (unit >> 6 & 0x3F));
    dst[2] = static_cast<char>(0x80 | (unit & 0x3F));
    return dst + 3;
}

bool isLeadByte(unsigned byte) {
    return byte - FirstLead < LeadCount;
}

// What `lead` decodes to with `trail`; U+FFFD when the trail byte is not taken.
char16_t pairUnit(unsigned lead, unsigned trail) {
    if (trail - FirstTrail >= TrailCount) return Replacement;
    return Pairs[(lead - FirstLead) * TrailCount + (trail - FirstTrail)];
}

constexpr std::uint16_t Unmappable = 0;  // every byte sequence of a character starts at 0x80 or up

// Code page bytes for every BMP code point: a single byte below 0x100, else lead * 256 + trail.
// The decoding tables invert exactly, since no two byte sequences decode to the same character
// (tools/cp936_tables checks this against ICU's encoder). ASCII, which is itself, never comes here.
class EncodeTable {
public:
    // Writes only the code points that have bytes; the others keep their zero, Unmappable.
    EncodeTable() {
        for (unsigned byte = 0x80; byte < 0x100; ++byte) {
            if (!isLeadByte(byte))
                bytes_[HighBytes[byte - 0x80]] = static_cast<std::uint16_t>(byte);
        }
        for (unsigned lead = FirstLead; lead <= LastLead; ++lead) {
            for (unsigned trail = FirstTrail; trail <= LastTrail; ++trail) {
                const char16_t c = pairUnit(lead, trail);
                if (c != Replacement) bytes_[c] = static_cast<std::uint16_t>(lead << 8 | trail);
            }
        }
    }

    std::uint16_t bytesOf(char32_t c) const { return c < bytes_.size() ? bytes_[c] : Unmappable; }

private:
    std::array<std::uint16_t, 0x10000> bytes_{};
};

// Built once, on the first encode.
const EncodeTable& encodeTable() {
    static const EncodeTable table;
    return table;
}

// Decodes whole characters of `bytes` into `dst`, which holds at least three bytes for each
// byte. Returns the ends of what it read and wrote; a lead byte that ends `bytes` stays unread
// unless `atEnd`.
std::pair<const unsigned char*, char*> decodeInto(std::string_view bytes, bool atEnd, char* dst) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    while (p < end) {
        const unsigned byte = *p;
        if (byte < 0x80) {
            const std::size_t ascii = utf8::asciiPrefixLength(std::string_view(
                reinterpret_cast<const char*>(p), static_cast<std::size_t>(end - p)));
            std::memcpy(dst, p, ascii);
            p += ascii;
            dst += ascii;
            continue;
        }
        if (!isLeadByte(byte)) {
            dst = putUtf8(dst, HighBytes[byte - 0x80]);
            ++p;
        } else if (p + 1 < end) {
            const char16_t unit = pairUnit(byte, p[1]);
            dst = putUtf8(dst, unit);
            p += unit == Replacement ? 1 : 2;
        } else if (atEnd) {
            dst = putUtf8(dst, Replacement);
            ++p;
        } else {
            break;
        }
    }
    return {p, dst};
}

// One bit for each BMP character of GB2312's first level.
class CommonHanziSet {
public:
    CommonHanziSet() {
        for (unsigned lead = 0xB0; lead <= 0xD7; ++lead) {
            for (unsigned trail = 0xA1; trail <= 0xFE; ++trail) {
                if (isCommonHanzi(lead, trail)) {
                    const char16_t c = pairUnit(lead, trail);
                    bits_[c / 64] |= std::uint64_t(1) << (c % 64);
                }
            }
        }
    }

    bool has(char32_t c) const { return c < 0x10000 && (bits_[c / 64] >> (c % 64) & 1); }

private:
    std::array<std::uint64_t, 0x10000 / 64> bits_{};
};

}  // namespace

Char firstChar(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    if (!isLeadByte(p[0])) return {HighBytes[p[0] - 0x80], 1};
    if (bytes.size() < 2) return {Replacement, 0};
    const char16_t unit = pairUnit(p[0], p[1]);
    return {unit, unit == Replacement ? std::size_t(1) : 2};
}

bool isCommonHanzi(char32_t c) {
    static const CommonHanziSet set;
    return set.has(c);
}

std::size_t decode(std::string_view bytes, bool atEnd, std::string& out) {
    // Decoded a block at a time through a buffer on the stack, so that `out` grows by what was
    // written rather than being zero-filled for the worst case.
    constexpr std::size_t Block = 16 * 1024;
    char decoded[3 * Block + 3];
    std::size_t done = 0;
    while (done < bytes.size()) {
        const std::size_t size = std::min(Block, bytes.size() - done);
        const bool lastBlock = done + size == bytes.size();
        const auto [read, written] =
            decodeInto(bytes.substr(done, size), atEnd && lastBlock, decoded);
        const std::size_t used = static_cast<std::size_t>(
            read - reinterpret_cast<const unsigned char*>(bytes.data()) - done);
        out.append(decoded, static_cast<std::size_t>(written - decoded));
        done += used;
        if (lastBlock && used < size) break;  // a lead byte waits for the next call
    }
    return done;
}

void encode(std::string_view text, std::string& out) {
    const EncodeTable& table = encodeTable();
    // Encoded a block at a time on the stack; code page 936 never needs more bytes than UTF-8,
    // and a character begun before the block's end adds at most three.
    constexpr std::size_t Block = 16 * 1024;
    char encoded[Block + 3];
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t blockEnd = std::min(text.size(), at + Block);
        char* dst = encoded;
        while (at < blockEnd) {
            const std::size_t ascii = utf8::asciiPrefixLength(text.substr(at, blockEnd - at));
            if (ascii > 0) {
                std::memcpy(dst, text.data() + at, ascii);
                dst += ascii;
                at += ascii;
                continue;
            }
            const utf8::Char c = utf8::firstChar(text.substr(at, 4));
            const std::uint16_t bytes = table.bytesOf(c.codePoint);
            if (c.length == 0 || bytes == Unmappable) {
                *dst++ = '?';
            } else if (bytes < 0x100) {
                *dst++ = static_cast<char>(bytes);
            } else {
                *dst++ = static_cast<char>(bytes >> 8);
                *dst++ = static_cast<char>(bytes & 0xFF);
            }
            at += std::max<std::size_t>(c.length, 1);  // each byte of malformed text is one '?'
        }
        out.append(encoded, static_cast<std::size_t>(dst - encoded));
    }
}

}  // namespace cp936
