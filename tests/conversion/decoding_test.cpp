// How a CSV file's bytes become text, checked against ICU's own converters.
#include <gtest/gtest.h>
#include <unicode/ucnv.h>

#include <random>

#include "cp936.h"
#include "decoded_input.h"
#include "test_support.h"
#include "utf8.h"

namespace {

std::string readText(std::string_view bytes) {
    ScratchDir dir;
    DecodedInput input;
    if (!input.open(dir.write("in.csv", bytes))) return "<cannot open>";
    std::string text;
    while (input.readMore(text)) {
    }
    return text;
}

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

struct DecodeCase {
    const char* what;
    std::string bytes;
    std::string text;
};

class Decoding : public testing::TestWithParam<DecodeCase> {};

TEST_P(Decoding, ChoosesTheFilesEncoding) {
    EXPECT_EQ(readText(GetParam().bytes), GetParam().text);
}

const std::string Ascii(DecodedInput::ChunkSize - 1, 'a');  // what follows it is cut by a read

INSTANTIATE_TEST_SUITE_P(
    Files, Decoding,
    testing::Values(DecodeCase{"mark then utf8", "\xEF\xBB\xBF张三,1", "张三,1"},
                    DecodeCase{"mark then a bad byte", "\xEF\xBB\xBF\xE5\xBC\xA0\xFF", "张\uFFFD"},
                    DecodeCase{"utf8 without mark", "姓名,手机\r\n张三", "姓名,手机\r\n张三"},
                    DecodeCase{"cp936", "\xD0\xD5\xC3\xFB,\xCA\xD6\xBB\xFA", "姓名,手机"},
                    DecodeCase{"0x80 is the euro sign", "a\x80", "a€"},
                    DecodeCase{"bad trail byte is read again", "\x81\x30", "\uFFFD0"},
                    DecodeCase{"lead byte ending the file", "ab\x81", "ab\uFFFD"},
                    DecodeCase{"utf8 but for its last byte is cp936", "\xE5\xBC\xA0\xD5", "寮犝"},
                    DecodeCase{"cp936 character cut by a read", Ascii + "\xD5\xC5", Ascii + "张"},
                    DecodeCase{"utf8 character cut by a read", Ascii + "张", Ascii + "张"},
                    DecodeCase{"marked utf8 character cut by a read", "\xEF\xBB\xBF" + Ascii + "张",
                               Ascii + "张"},
                    DecodeCase{"empty", "", ""}),
    caseName<DecodeCase>);

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
                         testing::Values(DecoderCase{"cp936", cp936::decode, "windows-936-2000"},
                                         DecoderCase{"utf8", utf8::sanitize, "UTF-8"}),
                         caseName<DecoderCase>);

}  // namespace
