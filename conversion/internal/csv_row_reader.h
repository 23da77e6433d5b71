// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "contact_record.h"

class LineReader;

// Reads contact rows the way spreadsheets write them: a field holding the field separator, a quote
// or a line break stands in double quotes with inner quotes doubled, and may run on over several
// lines. A line whose quoting is not well formed is cut plainly at every separator, quotes and
// all; so is a line that opens a quote again among the lines an unclosed quote ran on through.

// One row of the file: its fields, and its text as the file holds it, over all its lines.
struct CsvRow {
    ContactRow fields;
    std::string_view text;  // valid until the next row is read
    std::int64_t lineCount = 0;
};

class CsvRowReader {
public:
    explicit CsvRowReader(LineReader& lines) : lines_(lines) {}

    // Reads the next row; false when no line is left.
    bool next(CsvRow& row);

    // How far a quoted field may run on past its first line before the quoting counts as broken.
    static constexpr std::size_t MaxReadAhead = 64 * 1024;

private:
    void readQuoted(std::string_view firstLine, CsvRow& row);

    LineReader& lines_;
    // Rows that start before this offset lie where an open quote was found broken: their own open
    // quotes read no further lines.
    std::uint64_t plainUntil_ = 0;
};
