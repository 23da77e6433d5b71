#include "cp936.h"

#include <unicode/ucnv.h>

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

char32_t codePoint(const unsigned char* p, std::size_t length) {
    switch (length) {
        case 2:
            return (p[0] & 0x1Fu) << 6 | (p[1] & 0x3Fu);
        case 3:
            return (p[0] & 0x0Fu) << 12 | (p[1] & 0x3Fu) << 6 | (p[2] & 0x3Fu);
        default:
            return (p[0] & 0x07u) << 18 | (p[1] & 0x3Fu) << 12 | (p[2] & 0x3Fu) << 6 |
                   (p[3] & 0x3Fu);
    }
}

}  // namespace

std::size_t decode(std::string_view bytes, bool atEnd, std::string& out) {
    const DecodeTables& tables = decodeTables();
    const std::size_t start = out.size();
    // Each byte yields at most three UTF-8 bytes; put() always stores three.
    out.resize(start + 3 * bytes.size() + 3);
    char* dst = out.data() + start;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    while (p < end) {
        const unsigned byte = *p;
        if (byte < 0x80) {
            *dst++ = static_cast<char>(byte);
            ++p;
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
    out.resize(static_cast<std::size_t>(dst - out.data()));
    return static_cast<std::size_t>(p - reinterpret_cast<const unsigned char*>(bytes.data()));
}

void encode(std::string_view text, std::string& out) {
    const std::vector<std::uint16_t>& table = encodeTable();
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    while (p < end) {
        if (*p < 0x80) {
            out += static_cast<char>(*p++);
            continue;
        }
        const std::size_t remaining = static_cast<std::size_t>(end - p);
        const std::size_t valid = utf8::validPrefixLength(
            std::string_view(reinterpret_cast<const char*>(p), remaining < 4 ? remaining : 4));
        const std::size_t length =
            valid ? utf8::firstCharLength(std::string_view(reinterpret_cast<const char*>(p), valid))
                  : 0;
        if (length == 0) {
            out += '?';
            ++p;
            continue;
        }
        const char32_t c = codePoint(p, length);
        const std::uint16_t bytes = c < 0x10000 ? table[c] : Unmappable;
        if (bytes == Unmappable) {
            out += '?';
        } else if (bytes < 0x100) {
            out += static_cast<char>(bytes);
        } else {
            out += static_cast<char>(bytes >> 8);
            out += static_cast<char>(bytes & 0xFF);
        }
        p += length;
    }
}

}  // namespace cp936
