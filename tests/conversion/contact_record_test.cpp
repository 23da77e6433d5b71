// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "contact_record.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace {

struct RecordCase {
    const char* what;
    std::string line;
    std::string record;
};

// Rows of five fields (one empty), of two and of one are the runs' own first case.
class RecordBuilding : public testing::TestWithParam<RecordCase> {};

TEST_P(RecordBuilding, GivesTheLinesOfTheFieldsPresent) {
    ContactRow row;
    row.cut("stale,fields,from,an,earlier,line");  // a reused row forgets them
    row.cut(GetParam().line);
    std::string record;
    VCardRecord::appendTo(record, row);
    EXPECT_EQ(record, GetParam().record);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rows, RecordBuilding, testing::Values(
    RecordCase{"three fields", "赵,公司,1", vcard({"N:赵;;;", "FN:赵", "ORG:公司", "TEL;WORK;VOICE:1"})},
    RecordCase{"seven fields use the first five", "a,b,c,d,e,f,g",
               vcard({"N:a;;;", "FN:a", "ORG:b", "TEL;WORK;VOICE:c", "TEL;HOME;VOICE:d", "TEL;CELL;VOICE:e"})},
    RecordCase{"empty name", ",公司", vcard({"N:;;;", "FN:", "ORG:公司"})},
    RecordCase{"space before the name stays", " 张三", vcard({"N: ;张三;;", "FN: 张三"})},
    RecordCase{"plain cut keeps quotes and shifts fields", "\"王,五\",x",
               vcard({"N:\";王;;", "FN:\"王", "ORG:五\"", "TEL;WORK;VOICE:x"})},
    RecordCase{"values are not escaped", "a;b:c,x;y", vcard({"N:a;;b:c;;", "FN:a;b:c", "ORG:x;y"})},
    RecordCase{"family name outside the BMP stays whole", "\xF0\xA0\x80\x80明",
               vcard({"N:\xF0\xA0\x80\x80;明;;", "FN:\xF0\xA0\x80\x80明"})},
    RecordCase{"a break inside a value is one space", "张\n三,a\r\nb,c\rd",
               vcard({"N:张; 三;;", "FN:张 三", "ORG:a b", "TEL;WORK;VOICE:c d"})}),
    caseName<RecordCase>);
// clang-format on

}  // namespace
