// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Lines and rows as a run reads them from a file: line ends, quoting, rows over several lines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "csv_row_reader.h"
#include "decoded_input.h"
#include "line_reader.h"
#include "test_support.h"

namespace {

// Each row as its kept fields joined by '|', with "(n lines)" behind a row that took several.
std::vector<std::string> readRows(std::string_view bytes) {
    ScratchDir dir;
    DecodedInput input;
    if (!input.open(dir.write("in.csv", bytes))) return {"<cannot open>"};
    LineReader lines(input);
    CsvRowReader rows(lines);
    CsvRow row;
    std::vector<std::string> described;
    while (rows.next(row)) {
        std::string text;
        for (std::size_t i = 0; i < row.fields.count && i < ContactRow::UsedFields; ++i)
            text.append(i ? "|" : "").append(row.fields.values[i]);
        if (row.lineCount > 1) text += " (" + std::to_string(row.lineCount) + " lines)";
        described.push_back(text);
    }
    return described;
}

struct ReadCase {
    const char* what;
    std::string bytes;
    std::vector<std::string> rows;
};

const std::string Long(DecodedInput::ChunkSize - 1, 'a');  // its line end is cut by a read

class Reading : public testing::TestWithParam<ReadCase> {};

TEST_P(Reading, GivesTheRows) {
    EXPECT_EQ(readRows(GetParam().bytes), GetParam().rows);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(LineEnds, Reading, testing::Values(
    ReadCase{"crlf", "a,1\r\nb,2\r\n", {"a|1", "b|2"}},
    ReadCase{"lone cr", "a\rb\rc", {"a", "b", "c"}},
    ReadCase{"cr file keeps a lone lf inside the line", "a\r\nb\nc,d\r\n", {"a", "b c|d"}},
    ReadCase{"lf file ends lines at lf crlf and cr", "a\nb\r\nc\rd\n", {"a", "b", "c", "d"}},
    ReadCase{"last line without line end", "a\r\nb", {"a", "b"}},
    ReadCase{"two line ends at the end give one empty line", "a\r\n\r\n", {"a", ""}},
    ReadCase{"empty file", "", {}},
    ReadCase{"empty lines in an lf file", "\n\nx\n", {"", "", "x"}},
    ReadCase{"crlf cut by a read is one line end", Long + "\r\nb", {Long, "b"}}),
    caseName<ReadCase>);

INSTANTIATE_TEST_SUITE_P(Quoting, Reading, testing::Values(
    ReadCase{"quoted comma and doubled quote", "\"王,五\",\"a\"\"b\",c", {"王,五|a\"b|c"}},
    ReadCase{"empty quoted field", "\"\",x,\"\"", {"|x|"}},
    ReadCase{"quote inside an unquoted field is text", "a\"b,c\"", {"a\"b|c\""}},
    ReadCase{"text after the closing quote", "\"ab\"c,d", {"\"ab\"c|d"}},
    ReadCase{"single inner quote", "\"a\"b\",c", {"\"a\"b\"|c"}},
    ReadCase{"quote never closes", "\"ab,c\r\nd,e", {"\"ab|c", "d|e"}},
    ReadCase{"quoted field ends the file", "x,\"y\"", {"x|y"}}),
    caseName<ReadCase>);

INSTANTIATE_TEST_SUITE_P(RowsOverSeveralLines, Reading, testing::Values(
    ReadCase{"crlf inside a quoted cell", "\"a\r\nb\",c\r\nd", {"a b|c (2 lines)", "d"}},
    ReadCase{"lf inside a quoted cell of an lf file", "\"a\nb\",c\nd\n", {"a b|c (2 lines)", "d"}},
    ReadCase{"lf inside a quoted cell of a cr file", "x\r\n\"a\nb\",c\r\nd", {"x", "a b|c", "d"}},
    ReadCase{"empty line inside a quoted cell", "x,\"a\r\n\r\nb\"\r\n", {"x|a  b (3 lines)"}},
    ReadCase{"broken continuation reads its lines again", "\"a\r\nb\"x,c\r\nd", {"\"a", "b\"x|c", "d"}},
    ReadCase{"lines an open quote ran on through are rows of their own again",
             "\"a\r\n\",\"\r\n\"b\",c", {"\"a", ",", "b|c"}}),
    caseName<ReadCase>);
// clang-format on

TEST(Reading, QuotedCellMayRunOnUpToItsLimit) {
    const std::string inside(CsvRowReader::MaxReadAhead - 100, 'x');
    EXPECT_EQ(readRows("\"a\r\n" + inside + "\",b\r\nc"),
              (std::vector<std::string>{"a " + inside + "|b (2 lines)", "c"}));

    const std::string tooLong(CsvRowReader::MaxReadAhead + 1, 'x');
    EXPECT_EQ(readRows("\"a\r\n" + tooLong + "\",b\r\nc"),
              (std::vector<std::string>{"\"a", tooLong + "\"|b", "c"}));
}

}  // namespace
