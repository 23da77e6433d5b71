#include "cp936.h"

#include <unicode/ucnv.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <vector>

#include "utf8.h"

namespace cp936 {
namespace {

constexpr const char* ConverterName = "windows-936-2000";

// One decoded character, packed: UTF-8 bytes in bits 0-23 (first byte lowest), their count in
// bits 24-25, and whether a lead byte took its trail byte with it in bit 26.
constexpr std::uint32_t LengthShift = 24;
constexpr std::uint32_t TakesTrail = 1u << 26;
constexpr std::uint32_t IsLeadByte = 1u << 27;

using ConverterPtr = std::unique_ptr<UConverter, decltype(&ucnv_close)>;

ConverterPtr openConverter() {
    UErrorCode status = U_ZERO_ERROR;
    ConverterPtr converter(ucnv_open(ConverterName, &status), &ucnv_close);
    if (U_FAILURE(status)) throw std::runtime_error("ICU has no converter windows-936-2000");
    return converter;
}

std::uint32_t packUtf8(char32_t c) {
    std::uint32_t bytes;
    std::uint32_t length;
    if (c < 0x80) {
        bytes = c;
        length = 1;
    } else if (c < 0x800) {
        bytes = (0xC0 | (c >> 6)) | ((0x80 | (c & 0x3F)) << 8);
        length = 2;
    } else {
        bytes =
            (0xE0 | (c >> 12)) | ((0x80 | ((c >> 6) & 0x3F)) << 8) | ((0x80 | (c & 0x3F)) << 16);
        length = 3;
    }
    return bytes | (length << LengthShift);
}

struct DecodeTables {
    std::array<std::uint32_t, 256> single{};
    std::vector<std::uint32_t> pair;  // (lead - 0x80) * 256 + trail
};

// Asks ICU for every byte and every lead/trail pair. Code page 936 lies in the BMP, so each
// result is one UTF-16 unit; a pair that decodes to two units means the trail was not taken.
DecodeTables buildDecodeTables() {
    ConverterPtr converter = openConverter();
    DecodeTables tables;
    tables.pair.assign(128 * 256, 0);
    UChar units[4];
    for (unsigned lead = 0; lead < 256; ++lead) {
        const char one[1] = {static_cast<char>(lead)};
        UErrorCode status = U_ZERO_ERROR;
        ucnv_reset(converter.get());
        ucnv_toUChars(converter.get(), units, 4, one, 1, &status);
        tables.single[lead] = packUtf8(units[0]);
        if (lead < 0x80 || units[0] != 0xFFFD) continue;
        tables.single[lead] |= IsLeadByte;
        for (unsigned trail = 0; trail < 256; ++trail) {
            const char two[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            status = U_ZERO_ERROR;
            ucnv_reset(converter.get());
            const int32_t n = ucnv_toUChars(converter.get(), units, 4, two, 2, &status);
            tables.pair[(lead - 0x80) * 256 + trail] =
                packUtf8(units[0]) | (n == 1 ? TakesTrail : 0);
        }
    }
    return tables;
}

const DecodeTables& decodeTables() {
    static const DecodeTables tables = buildDecodeTables();
    return tables;
}

constexpr std::uint16_t Unmappable = 0xFFFF;  // 0xFF is never a trail byte, so no pair is 0xFFFF

// Code page bytes for every BMP code point: a single byte below 0x100, else lead * 256 + trail.
std::vector<std::uint16_t> buildEncodeTable() {
    ConverterPtr converter = openConverter();
    UErrorCode status = U_ZERO_ERROR;
    ucnv_setFromUCallBack(converter.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                          &status);
    std::vector<std::uint16_t> table(0x10000, Unmappable);
    for (char32_t c = 0; c < 0x10000; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        const UChar unit = static_cast<UChar>(c);
        char bytes[4];
        status = U_ZERO_ERROR;
        ucnv_reset(converter.get());
        const int32_t n = ucnv_fromUChars(converter.get(), bytes, 4, &unit, 1, &status);
        if (U_FAILURE(status)) continue;
        if (n == 1) table[c] = static_cast<unsigned char>(bytes[0]);
        if (n == 2)
            table[c] = static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[0]) << 8 |
                                                  static_cast<unsigned char>(bytes[1]));
    }
    return table;
}

const std::vector<std::uint16_t>& encodeTable() {
    static const std::vector<std::uint16_t> table = buildEncodeTable();
    return table;
}

char* put(char* dst, std::uint32_t packed) {
    dst[0] = static_cast<char>(packed);
    dst[1] = static_cast<char>(packed >> 8);
    dst[2] = static_cast<char>(packed >> 16);
    return dst + ((packed >> LengthShift) & 3);
}

// Decodes whole characters of `bytes` into `dst`, which holds at least three bytes for each
// byte. Returns the ends of what it read and wrote; a lead byte that ends `bytes` stays unread
// unless `atEnd`.
std::pair<const unsigned char*, char*> decodeInto(const DecodeTables& tables,
                                                  std::string_view bytes, bool atEnd, char* dst) {
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
        const std::uint32_t single = tables.single[byte];
        if (!(single & IsLeadByte)) {
            dst = put(dst, single);
            ++p;
        } else if (p + 1 < end) {
            const std::uint32_t packed = tables.pair[(byte - 0x80) * 256 + p[1]];
            dst = put(dst, packed);
            p += (packed & TakesTrail) ? 2 : 1;
        } else if (atEnd) {
            dst = put(dst, single);
            ++p;
        } else {
            break;
        }
    }
    return {p, dst};
}

}  // namespace

std::size_t decode(std::string_view bytes, bool atEnd, std::string& out) {
    const DecodeTables& tables = decodeTables();
    // Decoded a block at a time through a buffer on the stack, so that `out` grows by what was
    // written rather than being zero-filled for the worst case.
    constexpr std::size_t Block = 16 * 1024;
    char decoded[3 * Block + 3];
    std::size_t done = 0;
    while (done < bytes.size()) {
        const std::size_t size = std::min(Block, bytes.size() - done);
        const bool lastBlock = done + size == bytes.size();
        const auto [read, written] =
            decodeInto(tables, bytes.substr(done, size), atEnd && lastBlock, decoded);
        const std::size_t used = static_cast<std::size_t>(
            read - reinterpret_cast<const unsigned char*>(bytes.data()) - done);
        out.append(decoded, static_cast<std::size_t>(written - decoded));
        done += used;
        if (lastBlock && used < size) break;  // a lead byte waits for the next call
    }
    return done;
}

void encode(std::string_view text, std::string& out) {
    const std::vector<std::uint16_t>& table = encodeTable();
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
            const std::uint16_t bytes = c.codePoint < 0x10000 ? table[c.codePoint] : Unmappable;
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
