#include "contact_record.h"

#include <gtest/gtest.h>

#include "test_support.h"

#include <string>
#include <vector>

namespace {

using test_support::PrintTo;

std::string recordOf(std::string_view line) {
    ContactRow row;
    row.cut(line);
    return VCardRecord::of(row);
}

std::string lines(const std::vector<std::string>& texts) {
    std::string joined;
    for (const std::string& text : texts) joined += (joined.empty() ? "" : "\r\n") + text;
    return joined;
}

struct RecordCase {
    const char* what;
    std::string line;
    std::string record;
};

class RecordBuilding : public testing::TestWithParam<RecordCase> {};

TEST_P(RecordBuilding, GivesTheLinesOfTheFieldsPresent) {
    EXPECT_EQ(recordOf(GetParam().line), GetParam().record);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RecordBuilding,
    testing::Values(
        RecordCase{"worked example", "张三,某公司,010-1234,,138",
                   lines({"BEGIN:VCARD", "VERSION:2.1", "N:张;三;;", "FN:张三", "ORG:某公司",
                          "TEL;WORK;VOICE:010-1234", "TEL;HOME;VOICE:", "TEL;CELL;VOICE:138",
                          "END:VCARD"})},
        RecordCase{"two fields", "李四,某公司",
                   lines({"BEGIN:VCARD", "VERSION:2.1", "N:李;四;;", "FN:李四", "ORG:某公司",
                          "END:VCARD"})},
        RecordCase{"one field", "王五",
                   lines({"BEGIN:VCARD", "VERSION:2.1", "N:王;五;;", "FN:王五", "END:VCARD"})},
        RecordCase{"three fields", "赵,公司,1",
                   lines({"BEGIN:VCARD", "VERSION:2.1", "N:赵;;;", "FN:赵", "ORG:公司",
                          "TEL;WORK;VOICE:1", "END:VCARD"})},
        RecordCase{
            "seven fields use the first five", "a,b,c,d,e,f,g",
            lines({"BEGIN:VCARD", "VERSION:2.1", "N:a;;;", "FN:a", "ORG:b", "TEL;WORK;VOICE:c",
                   "TEL;HOME;VOICE:d", "TEL;CELL;VOICE:e", "END:VCARD"})},
        RecordCase{"empty name", ",公司",
                   lines({"BEGIN:VCARD", "VERSION:2.1", "N:;;;", "FN:", "ORG:公司", "END:VCARD"})},
        RecordCase{"space before the name stays", " 张三",
                   lines({"BEGIN:VCARD", "VERSION:2.1", "N: ;张三;;", "FN: 张三", "END:VCARD"})},
        RecordCase{"only commas", ",,,,",
                   lines({"BEGIN:VCARD", "VERSION:2.1", "N:;;;", "FN:", "ORG:", "TEL;WORK;VOICE:",
                          "TEL;HOME;VOICE:", "TEL;CELL;VOICE:", "END:VCARD"})},
        RecordCase{"plain cut keeps quotes and shifts fields", "\"王,五\",x",
                   lines({"BEGIN:VCARD", "VERSION:2.1", "N:\";王;;", "FN:\"王", "ORG:五\"",
                          "TEL;WORK;VOICE:x", "END:VCARD"})},
        RecordCase{"values are not escaped", "a;b:c,x;y",
                   lines({"BEGIN:VCARD", "VERSION:2.1", "N:a;;b:c;;", "FN:a;b:c", "ORG:x;y",
                          "END:VCARD"})},
        RecordCase{"family name outside the BMP stays whole", "\xF0\xA0\x80\x80明",
                   lines({"BEGIN:VCARD", "VERSION:2.1", "N:\xF0\xA0\x80\x80;明;;",
                          "FN:\xF0\xA0\x80\x80明", "END:VCARD"})},
        RecordCase{"a break inside a value is one space", "张\n三,a\r\nb,c\rd",
                   lines({"BEGIN:VCARD", "VERSION:2.1", "N:张; 三;;", "FN:张 三", "ORG:a b",
                          "TEL;WORK;VOICE:c d", "END:VCARD"})}),
    caseName<RecordCase>);

TEST(ContactRowCut, CountsEveryFieldButKeepsFive) {
    ContactRow row;
    row.cut("a,b,c,d,e,f,");
    EXPECT_EQ(row.count, 7u);
    EXPECT_EQ(row.fields[ContactRow::MobilePhone], "e");

    row.cut("x");  // a reused row forgets its earlier fields
    EXPECT_EQ(row.count, 1u);
    EXPECT_EQ(row.fields[ContactRow::Company], "");
}

}  // namespace
