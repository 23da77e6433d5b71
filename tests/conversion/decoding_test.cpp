// How a CSV file's bytes become text.
#include <gtest/gtest.h>

#include "decoded_input.h"
#include "test_support.h"

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

}  // namespace
