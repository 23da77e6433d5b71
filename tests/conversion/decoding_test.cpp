// How a CSV file's bytes become text, checked against ICU's own converters.
#include <gtest/gtest.h>
#include <unicode/ucnv.h>

#include <algorithm>
#include <random>
#include <string>

#include "cp936.h"
#include "decoded_input.h"
#include "test_support.h"
#include "utf8.h"

namespace {

using test_support::PrintTo;

std::string readText(std::string_view bytes) {
    ScratchDir dir;
    DecodedInput input;
    if (!input.open(dir.write("in.csv", bytes))) return "<cannot open>";
    std::string text;
    while (input.readMore(text)) {
    }
    return text;
}

// What ICU makes of `bytes` in `charset`, as UTF-8.
std::string icuDecode(std::string_view bytes, const char* charset) {
    UErrorCode status = U_ZERO_ERROR;
    std::string out(bytes.size() * 3 + 4, '\0');
    const int32_t n = ucnv_convert("UTF-8", charset, out.data(), int32_t(out.size()), bytes.data(),
                                   int32_t(bytes.size()), &status);
    EXPECT_TRUE(U_SUCCESS(status)) << u_errorName(status);
    out.resize(std::size_t(n));
    return out;
}

std::string icuEncodeCp936(std::string_view text) {
    UErrorCode status = U_ZERO_ERROR;
    std::string out(text.size() * 2 + 4, '\0');
    const int32_t n = ucnv_convert("windows-936-2000", "UTF-8", out.data(), int32_t(out.size()),
                                   text.data(), int32_t(text.size()), &status);
    EXPECT_TRUE(U_SUCCESS(status)) << u_errorName(status);
    out.resize(std::size_t(n));
    return out;
}

struct DecodeCase {
    const char* what;
    std::string bytes;
    std::string text;
};

class Decoding : public testing::TestWithParam<DecodeCase> {};

TEST_P(Decoding, ChoosesTheFilesEncoding) {
    EXPECT_EQ(readText(GetParam().bytes), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Files, Decoding,
    testing::Values(DecodeCase{"mark then utf8", "\xEF\xBB\xBF张三,1", "张三,1"},
                    DecodeCase{"mark then a bad byte", "\xEF\xBB\xBF\xE5\xBC\xA0\xFF", "张\uFFFD"},
                    DecodeCase{"utf8 without mark", "姓名,手机\r\n张三,138",
                               "姓名,手机\r\n张三,138"},
                    DecodeCase{"cp936", "\xD0\xD5\xC3\xFB,\xCA\xD6\xBB\xFA\r\n\xD5\xC5\xC8\xFD",
                               "姓名,手机\r\n张三"},
                    DecodeCase{"0x80 is the euro sign", "a\x80", "a€"},
                    DecodeCase{"bad trail byte is read again", "\x81\x30", "\uFFFD0"},
                    DecodeCase{"lead byte ending the file", "ab\x81", "ab\uFFFD"},
                    DecodeCase{"utf8 but for its last byte is cp936", "\xE5\xBC\xA0\xD5",
                               icuDecode("\xE5\xBC\xA0\xD5", "windows-936-2000")},
                    DecodeCase{"ascii", "a,b\r\n", "a,b\r\n"}, DecodeCase{"empty", "", ""}),
    caseName<DecodeCase>);

TEST(Decoding, CharactersCutBetweenReadsStayWhole) {
    const std::string ascii(DecodedInput::ChunkSize - 1, 'a');
    EXPECT_EQ(readText(ascii + "\xD5\xC5\xC8\xFD"), ascii + "张三");
    EXPECT_EQ(readText(ascii + "张三"), ascii + "张三");
    EXPECT_EQ(readText("\xEF\xBB\xBF" + ascii + "张三"), ascii + "张三");
}

// Random bytes, biased towards the high half where code page 936 has its lead and trail bytes.
std::string randomBytes(std::mt19937& random, std::size_t size) {
    std::string bytes(size, '\0');
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
    const DecoderCase& decoder = GetParam();
    std::mt19937 random(936);
    for (int round = 0; round < 2000; ++round) {
        const std::string bytes = randomBytes(random, 1 + random() % 40);
        const std::string expected = icuDecode(bytes, decoder.icuCharset);

        std::string whole;
        ASSERT_EQ(decoder.decode(bytes, true, whole), bytes.size());
        ASSERT_EQ(whole, expected) << testing::PrintToString(bytes);

        const std::size_t cut = random() % bytes.size();
        std::string pieces;
        const std::size_t used = decoder.decode(bytes.substr(0, cut), false, pieces);
        decoder.decode(bytes.substr(used), true, pieces);
        ASSERT_EQ(pieces, expected) << testing::PrintToString(bytes) << " cut at " << cut;
    }
}

INSTANTIATE_TEST_SUITE_P(RandomBytes, Decoders,
                         testing::Values(DecoderCase{"cp936", cp936::decode, "windows-936-2000"},
                                         DecoderCase{"utf8", utf8::sanitize, "UTF-8"}),
                         caseName<DecoderCase>);

TEST(Cp936Encoder, MatchesIcuForEveryCharacterItHolds) {
    // Every character code page 936 decodes to, one after the other, must encode back as ICU does.
    std::string all;
    for (unsigned lead = 0x81; lead <= 0xFE; ++lead)
        for (unsigned trail = 0x40; trail <= 0xFE; ++trail)
            if (trail != 0x7F) all += {char(lead), char(trail)};
    std::string decoded;
    cp936::decode(all, true, decoded);
    std::string
        text;  // without the U+FFFD of undefined pairs, for which ICU has its own substitute
    for (std::size_t at = 0, next; at < decoded.size(); at = next) {
        next = std::min(decoded.find(utf8::ReplacementChar, at), decoded.size());
        text.append(decoded, at, next - at);
        if (next < decoded.size()) next += utf8::ReplacementChar.size();
    }
    std::string encoded;
    cp936::encode(text, encoded);
    EXPECT_EQ(encoded, icuEncodeCp936(text));
}

TEST(Cp936Encoder, WritesAQuestionMarkForWhatItCannotHold) {
    std::string encoded;
    cp936::encode("张😀한\uFFFD€\xFF", encoded);
    EXPECT_EQ(encoded, "\xD5\xC5???\x80?");
}

}  // namespace
