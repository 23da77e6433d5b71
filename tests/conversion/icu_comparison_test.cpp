// The decoders and the code page 936 encoder against ICU's own converters: on random bytes, and
// for code page 936 on every byte, every byte pair and every BMP character.
#include <gtest/gtest.h>
#include <unicode/ucnv.h>
#include <unicode/ustring.h>
#include <unicode/utf16.h>

#include <cstdio>
#include <memory>
#include <random>
#include <stdexcept>
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

std::string hex(std::string_view bytes) {
    std::string text;
    for (const char b : bytes) {
        char digits[4];
        std::snprintf(digits, sizeof digits, "%02X ", static_cast<unsigned char>(b));
        text += digits;
    }
    return text.empty() ? "(nothing)" : text.substr(0, text.size() - 1);
}

// Reports the first few mismatches one by one and then how many there were, so that a broken
// table does not drown the log.
class Mismatches {
public:
    void add(const std::string& what) {
        if (++count_ <= 10) ADD_FAILURE() << what;
    }
    int count() const { return count_; }

private:
    int count_ = 0;
};

// A pair's decoding also shows whether the lead byte took the trail byte: one that is not taken is
// decoded again on its own, after the lead byte's U+FFFD.
TEST(Cp936, DecodesEveryByteAndBytePairAsIcuDoes) {
    Mismatches mismatches;
    const auto check = [&](const std::string& bytes) {
        std::string ours;
        cp936::decode(bytes, true, ours);
        const std::string icu = icuConvert("UTF-8", Cp936, bytes);
        if (ours != icu)
            mismatches.add(hex(bytes) + " decodes to UTF-8 " + hex(ours) + ", ICU's is " +
                           hex(icu));
    };
    for (unsigned first = 0; first < 0x100; ++first) {
        check({char(first)});
        for (unsigned second = 0; second < 0x100; ++second) check({char(first), char(second)});
    }
    EXPECT_EQ(mismatches.count(), 0);
}

using ConverterPtr = std::unique_ptr<UConverter, decltype(&ucnv_close)>;

// ICU's code page 936 bytes for `c`, or "?" where it has none. That includes the default-ignorable
// characters (U+200B, U+FEFF, ...), which ICU leaves out but our encoder marks like any other.
std::string icuEncoded(UConverter* encoder, char32_t c) {
    UChar units[2];
    int32_t length = 0;
    U16_APPEND_UNSAFE(units, length, c);
    UErrorCode status = U_ZERO_ERROR;
    char bytes[8];
    ucnv_reset(encoder);
    const int32_t n = ucnv_fromUChars(encoder, bytes, sizeof bytes, units, length, &status);
    if (U_FAILURE(status) || n == 0) return "?";
    return std::string(bytes, std::size_t(n));
}

std::string utf8Of(char32_t c) {
    UChar units[2];
    int32_t length = 0;
    U16_APPEND_UNSAFE(units, length, c);
    char text[8];
    int32_t n = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strToUTF8(text, sizeof text, &n, units, length, &status);
    if (U_FAILURE(status)) throw std::runtime_error("no UTF-8 for a code point");
    return std::string(text, std::size_t(n));
}

// Every BMP character, and every 97th character above it.
TEST(Cp936, EncodesEveryCharacterAsIcuDoes) {
    UErrorCode status = U_ZERO_ERROR;
    const ConverterPtr encoder(ucnv_open(Cp936, &status), &ucnv_close);
    ucnv_setFromUCallBack(encoder.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                          &status);
    ASSERT_TRUE(U_SUCCESS(status)) << u_errorName(status);
    Mismatches mismatches;
    for (char32_t c = 0; c <= 0x10FFFF; c += c < 0x10000 ? 1 : 97) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        const std::string text = utf8Of(c);
        std::string ours;
        cp936::encode(text, ours);
        const std::string icu = icuEncoded(encoder.get(), c);
        if (ours != icu)
            mismatches.add("UTF-8 " + hex(text) + " encodes to " + hex(ours) + ", ICU's is " +
                           hex(icu));
    }
    EXPECT_EQ(mismatches.count(), 0);
}

}  // namespace
