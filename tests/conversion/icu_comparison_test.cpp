// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The decoders and the code page 936 encoder against ICU's own converters: on random bytes, and
// for code page 936 on every byte, every byte pair and every BMP character.
#include <gtest/gtest.h>
#include <unicode/ucnv.h>

#include <QByteArray>
#include <QString>
#include <memory>
#include <random>
#include <string>

#include "cp936.h"
#include "test_support.h"
#include "utf8.h"

namespace {

constexpr const char* Cp936 = "windows-936-2000";

// `bytes` converted by ICU from charset `from` to charset `to`.
std::string icuConvert(const char* to, const char* from, std::string_view bytes) {
    UErrorCode status = U_ZERO_ERROR;
    std::string out(bytes.size() * 3 + 4, '\0');
    const int32_t n = ucnv_convert(to, from, out.data(), int32_t(out.size()), bytes.data(),
                                   int32_t(bytes.size()), &status);
    EXPECT_TRUE(U_SUCCESS(status)) << u_errorName(status);
    out.resize(std::size_t(n));
    return out;
}

// Random bytes, mostly from the high half where code page 936 has its lead and trail bytes.
std::string randomBytes(std::mt19937& random) {
    std::string bytes(1 + random() % 40, '\0');
    for (char& b : bytes) b = char(random() % 4 ? 0x80 + random() % 128 : random() % 128);
    return bytes;
}

struct DecoderCase {
    const char* what;
    std::size_t (*decode)(std::string_view bytes, bool atEnd, std::string& out);
    const char* icuCharset;
};

class Decoders : public testing::TestWithParam<DecoderCase> {};

TEST_P(Decoders, MatchIcuWholeAndInPieces) {
    std::mt19937 random(936);
    for (int round = 0; round < 2000; ++round) {
        const std::string bytes = randomBytes(random);
        const std::string expected = icuConvert("UTF-8", GetParam().icuCharset, bytes);
        const std::size_t cut = random() % bytes.size();
        std::string whole, pieces;
        ASSERT_EQ(GetParam().decode(bytes, true, whole), bytes.size());
        const std::size_t used = GetParam().decode(bytes.substr(0, cut), false, pieces);
        GetParam().decode(bytes.substr(used), true, pieces);
        ASSERT_EQ(whole, expected) << testing::PrintToString(bytes);
        ASSERT_EQ(pieces, expected) << testing::PrintToString(bytes) << " cut at " << cut;
    }
}

INSTANTIATE_TEST_SUITE_P(RandomBytes, Decoders,
                         testing::Values(DecoderCase{"cp936", cp936::decode, Cp936},
                                         DecoderCase{"utf8", utf8::sanitize, "UTF-8"}),
                         caseName<DecoderCase>);

std::string hex(const std::string& bytes) {
    return bytes.empty() ? "(nothing)" : QByteArray::fromStdString(bytes).toHex(' ').toStdString();
}

// A pair's decoding also shows whether the lead byte took the trail byte: one that is not taken is
// decoded again on its own, after the lead byte's U+FFFD. Here and below only the first ten
// mismatches are reported, so that a broken table does not drown the log.
TEST(Cp936, DecodesEveryByteAndBytePairAsIcuDoes) {
    int mismatches = 0;
    const auto check = [&](const std::string& bytes) {
        std::string ours;
        cp936::decode(bytes, true, ours);
        const std::string icu = icuConvert("UTF-8", Cp936, bytes);
        if (ours != icu && ++mismatches <= 10)
            ADD_FAILURE() << hex(bytes) << " decodes to UTF-8 " << hex(ours) << ", ICU's is "
                          << hex(icu);
    };
    for (unsigned first = 0; first < 0x100; ++first) {
        check({char(first)});
        for (unsigned second = 0; second < 0x100; ++second) check({char(first), char(second)});
    }
    EXPECT_EQ(mismatches, 0);
}

// ICU's code page 936 bytes for `c`, or "?" where it has none. That includes the default-ignorable
// characters (U+200B, U+FEFF, ...), which ICU leaves out but our encoder marks like any other.
std::string icuEncoded(UConverter* encoder, const QString& c) {
    UErrorCode status = U_ZERO_ERROR;
    char bytes[8];
    ucnv_reset(encoder);
    const int32_t n = ucnv_fromUChars(encoder, bytes, sizeof bytes,
                                      reinterpret_cast<const UChar*>(c.utf16()), c.size(), &status);
    if (U_FAILURE(status) || n == 0) return "?";
    return std::string(bytes, std::size_t(n));
}

// Every BMP character, and every 97th character above it.
TEST(Cp936, EncodesEveryCharacterAsIcuDoes) {
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<UConverter, decltype(&ucnv_close)> encoder(ucnv_open(Cp936, &status),
                                                                     &ucnv_close);
    ucnv_setFromUCallBack(encoder.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                          &status);
    ASSERT_TRUE(U_SUCCESS(status)) << u_errorName(status);
    int mismatches = 0;
    for (char32_t c = 0; c <= 0x10FFFF; c += c < 0x10000 ? 1 : 97) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        const QString character = QStringView(QChar::fromUcs4(c)).toString();
        const std::string text = character.toStdString();
        std::string ours;
        cp936::encode(text, ours);
        const std::string icu = icuEncoded(encoder.get(), character);
        if (ours != icu && ++mismatches <= 10)
            ADD_FAILURE() << "UTF-8 " << hex(text) << " encodes to " << hex(ours) << ", ICU's is "
                          << hex(icu);
    }
    EXPECT_EQ(mismatches, 0);
}

}  // namespace
