#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "contact_record.h"

class LineReader;

// Reads contact rows the way spreadsheets write them: a field holding a comma, a quote or a line
// break stands in double quotes with inner quotes doubled, and may run on over several lines.
// A line whose quoting is not well formed is cut plainly at every comma, quotes and all.
class CsvRowReader {
public:
    explicit CsvRowReader(LineReader& lines) : lines_(lines) {}

    // Fills `row` from `firstLine`, the line just read from the LineReader, reading on while a
    // quoted field continues. Returns how many lines the row took.
    std::int64_t read(std::string_view firstLine, ContactRow& row);

    // How far a quoted field may run on past its first line before the quoting counts as broken.
    static constexpr std::size_t MaxReadAhead = 64 * 1024;

private:
    LineReader& lines_;
    std::string firstLineCopy_;
};
