// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Reads code page 936 out of ICU's "windows-936-2000" converter and writes it as the C++ data that
// conversion/cp936_tables.h declares, after checking that this form holds everything cp936.cpp
// needs to decode every byte and byte pair, and encode every BMP character, exactly as ICU does.
//
//   cp936_tables_generator OUTPUT.cpp

#include <unicode/ucnv.h>
#include <unicode/uvernum.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "cp936_tables.h"

namespace {

using namespace cp936::tables;

constexpr const char* ConverterName = "windows-936-2000";

std::string hex(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

std::string codePoint(unsigned c) {
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", c);
    return text;
}

[[noreturn]] void fail(const std::string& what) {
    throw std::runtime_error(what);
}

using ConverterPtr = std::unique_ptr<UConverter, decltype(&ucnv_close)>;

ConverterPtr openConverter() {
    UErrorCode status = U_ZERO_ERROR;
    ConverterPtr converter(ucnv_open(ConverterName, &status), &ucnv_close);
    if (U_FAILURE(status)) fail(std::string("ICU has no converter ") + ConverterName);
    return converter;
}

// ICU's UTF-16 for `bytes` on their own.
std::u16string decoded(UConverter* converter, std::string_view bytes) {
    UErrorCode status = U_ZERO_ERROR;
    UChar units[8];
    ucnv_reset(converter);
    const int32_t n = ucnv_toUChars(converter, units, 8, bytes.data(),
                                    static_cast<int32_t>(bytes.size()), &status);
    if (U_FAILURE(status)) fail(std::string("decoding failed: ") + u_errorName(status));
    return std::u16string(units, units + n);
}

// ICU's bytes for `c`, from a converter that stops at an unmappable character; empty where ICU
// has none, which includes the default-ignorable characters (U+200B, U+FEFF, ...) that it drops.
std::string encoded(UConverter* converter, char16_t c) {
    UErrorCode status = U_ZERO_ERROR;
    char bytes[8];
    ucnv_reset(converter);
    const int32_t n = ucnv_fromUChars(converter, bytes, sizeof bytes, &c, 1, &status);
    if (U_FAILURE(status)) return "";
    return std::string(bytes, static_cast<std::size_t>(n));
}

struct Tables {
    std::array<char16_t, 0x80> highBytes{};
    std::array<char16_t, LeadCount * TrailCount> pairs{};
};

// Asks ICU for every byte and every lead/trail pair, and fails where its answer does not fit the
// tables: ASCII must be itself, exactly the lead bytes must be U+FFFD alone, and a pair is either
// a character of both bytes with an in-range trail, or U+FFFD for the lead byte alone.
Tables readDecoding(UConverter* converter) {
    Tables tables;
    for (unsigned byte = 0; byte < 0x100; ++byte) {
        const std::u16string one = decoded(converter, std::string(1, static_cast<char>(byte)));
        if (one.size() != 1) fail("byte " + hex(byte, 2) + " is not one character");
        if (byte < 0x80) {
            if (one[0] != byte) fail("byte " + hex(byte, 2) + " is not ASCII");
            continue;
        }
        const bool lead = byte >= FirstLead && byte <= LastLead;
        if ((one[0] == Replacement) != lead)
            fail("byte " + hex(byte, 2) + (lead ? " is not a lead byte" : " is a lead byte"));
        tables.highBytes[byte - 0x80] = one[0];
    }
    for (unsigned lead = FirstLead; lead <= LastLead; ++lead) {
        for (unsigned trail = 0; trail < 0x100; ++trail) {
            const std::string bytes = {static_cast<char>(lead), static_cast<char>(trail)};
            const std::u16string two = decoded(converter, bytes);
            const std::string where = "pair " + hex(lead << 8 | trail, 4);
            const bool inRange = trail >= FirstTrail && trail <= LastTrail;
            if (two.size() == 1) {
                if (!inRange) fail(where + " takes a trail byte out of range");
                if (two[0] == Replacement) fail(where + " takes its trail byte into U+FFFD");
            } else if (two[0] != Replacement) {
                fail(where + " leaves its trail byte but is not U+FFFD");
            }
            if (inRange)
                tables.pairs[(lead - FirstLead) * TrailCount + (trail - FirstTrail)] = two[0];
        }
    }
    return tables;
}

// cp936.cpp builds its encoding table by inverting the decoding tables. Checks that this gives
// ICU's bytes for every BMP code point: no two byte sequences decode to the same character, and
// ICU encodes each character to the one sequence that decodes to it, and nothing else.
void checkEncodingInvertsDecoding(const Tables& tables, UConverter* encoder) {
    std::vector<std::string> inverse(0x10000);
    const auto add = [&](char16_t c, std::string bytes) {
        if (!inverse[c].empty()) fail("two byte sequences decode to " + codePoint(c));
        inverse[c] = std::move(bytes);
    };
    for (unsigned byte = 0; byte < 0x80; ++byte) add(char16_t(byte), {static_cast<char>(byte)});
    for (unsigned byte = 0x80; byte < 0x100; ++byte) {
        const char16_t c = tables.highBytes[byte - 0x80];
        if (c != Replacement) add(c, {static_cast<char>(byte)});
    }
    for (std::size_t i = 0; i < tables.pairs.size(); ++i) {
        const char16_t c = tables.pairs[i];
        if (c != Replacement)
            add(c, {static_cast<char>(FirstLead + i / TrailCount),
                    static_cast<char>(FirstTrail + i % TrailCount)});
    }
    for (unsigned c = 0; c < 0x10000; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        if (encoded(encoder, char16_t(c)) != inverse[c])
            fail("ICU does not encode " + codePoint(c) + " to the bytes that decode to it");
    }
}

// One array, `rowLength` units to a row, each row under a comment that `rowComment` gives for the
// row's number; laid out as clang-format would.
template <std::size_t N, class RowComment>
void writeArray(std::ostream& out, std::string_view name, const std::array<char16_t, N>& units,
                std::size_t rowLength, RowComment rowComment) {
    constexpr std::size_t PerLine = 12;
    out << "const std::array<char16_t, " << N << "> " << name << " = {";
    for (std::size_t at = 0; at < N; ++at) {
        const std::size_t column = at % rowLength;
        if (column == 0) out << "\n    // " << rowComment(at / rowLength);
        out << (column % PerLine == 0 ? "\n    " : " ") << hex(units[at], 4)
            << (at + 1 < N ? "," : "");
    }
    out << "};\n";
}

std::string source(const Tables& tables) {
    std::ostringstream out;
    out << "// Code page 936 as ICU " U_ICU_VERSION " has it (\"" << ConverterName << "\").\n"
        << "// Generated by tools/cp936_tables; do not edit. Regenerate with "
           "scripts/generate-cp936-tables.\n\n"
        << "#include \"cp936_tables.h\"\n\n"
        << "namespace cp936::tables {\n\n";
    writeArray(out, "HighBytes", tables.highBytes, tables.highBytes.size(),
               [](std::size_t) { return "bytes 0x80-0xFF"; });
    out << "\n";
    writeArray(out, "Pairs", tables.pairs, TrailCount, [](std::size_t row) {
        return "lead byte " + hex(FirstLead + unsigned(row), 2) + ", trail bytes " +
               hex(FirstTrail, 2) + "-" + hex(LastTrail, 2);
    });
    out << "\n}  // namespace cp936::tables\n";
    return out.str();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: cp936_tables_generator OUTPUT.cpp\n");
        return 2;
    }
    try {
        const ConverterPtr decoder = openConverter();
        const ConverterPtr encoder = openConverter();
        UErrorCode status = U_ZERO_ERROR;
        ucnv_setFromUCallBack(encoder.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                              &status);
        if (U_FAILURE(status)) fail("cannot make the encoder stop at unmappable characters");

        const Tables tables = readDecoding(decoder.get());
        checkEncodingInvertsDecoding(tables, encoder.get());
        std::ofstream file(argv[1], std::ios::binary | std::ios::trunc);
        file << source(tables);
        file.close();
        if (!file) fail(std::string("cannot write ") + argv[1]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "cp936_tables_generator: %s\n", error.what());
        return 1;
    }
    return 0;
}
