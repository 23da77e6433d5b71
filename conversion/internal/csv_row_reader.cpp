// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "csv_row_reader.h"

#include <limits>

#include "line_reader.h"

namespace {

enum class Quoting { Complete, Open, Malformed };

// Parses a row line by line, remembering the quoted field that a line leaves open.
class QuotedRowParser {
public:
    explicit QuotedRowParser(ContactRow& row) : row_(row) { row_.clear(); }

    Quoting parse(std::string_view line, bool continuesQuotedField) {
        bool inQuotes = continuesQuotedField;
        if (inQuotes) appendText(" ");  // the line break inside the quoted field
        std::size_t i = 0;
        for (;;) {
            if (!inQuotes) {
                field_ = row_.startField();
                if (i == line.size() || line[i] != '"') {
                    const std::size_t separator = line.find(FieldSeparator, i);
                    appendText(line.substr(i, separator - i));
                    if (separator == std::string_view::npos) return Quoting::Complete;
                    i = separator + 1;
                    continue;
                }
                inQuotes = true;
                ++i;
            }
            const std::size_t quote = line.find('"', i);
            appendText(line.substr(i, quote - i));
            if (quote == std::string_view::npos) return Quoting::Open;
            if (quote + 1 == line.size()) return Quoting::Complete;
            if (line[quote + 1] == '"') {
                appendText("\"");
            } else if (line[quote + 1] == FieldSeparator) {
                inQuotes = false;
            } else {
                return Quoting::Malformed;  // text after a closing quote
            }
            i = quote + 2;
        }
    }

private:
    void appendText(std::string_view text) {
        if (field_) appendFieldText(*field_, text);
    }

    ContactRow& row_;
    std::string* field_ = nullptr;
};

}  // namespace

bool CsvRowReader::next(CsvRow& row) {
    std::string_view line;
    if (!lines_.next(line)) return false;
    row.text = line;
    row.lineCount = 1;
    if (line.find('"') == std::string_view::npos)
        row.fields.cut(line);
    else
        readQuoted(line, row);
    return true;
}

void CsvRowReader::readQuoted(std::string_view firstLine, CsvRow& row) {
    QuotedRowParser parser(row.fields);
    Quoting quoting = parser.parse(firstLine, false);
    if (quoting == Quoting::Complete) {
        row.fields.useOwnText();
        return;
    }
    // Where an open quote was already seen to break, reading on again could only fail again.
    if (quoting == Quoting::Malformed || lines_.lineStart() < plainUntil_) {
        row.fields.cut(firstLine);
        return;
    }

    LineReader::LookAhead ahead(lines_);
    std::uint64_t brokenAt = std::numeric_limits<std::uint64_t>::max();  // the end of the text
    std::size_t readAhead = 0;
    std::string_view line;
    while (quoting == Quoting::Open && ahead.next(line)) {
        readAhead += line.size() + 1;
        if (readAhead > MaxReadAhead) {
            brokenAt = ahead.lineStart();
            break;
        }
        ++row.lineCount;
        quoting = parser.parse(line, true);
        if (quoting == Quoting::Malformed) brokenAt = ahead.lineStart();
    }
    if (quoting == Quoting::Complete) {
        row.fields.useOwnText();
        row.text = ahead.text();
        return;
    }
    // Every line before brokenAt went on inside the open quote. They are cut plainly instead of
    // each being read on from again, which would take time growing with the square of the file.
    plainUntil_ = brokenAt;
    ahead.rewind();
    row.lineCount = 1;
    row.text = ahead.text();
    row.fields.cut(row.text);
}
