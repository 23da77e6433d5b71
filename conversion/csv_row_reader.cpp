#include "csv_row_reader.h"

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
                    const std::size_t comma = line.find(',', i);
                    appendText(line.substr(i, comma - i));
                    if (comma == std::string_view::npos) return Quoting::Complete;
                    i = comma + 1;
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
            } else if (line[quote + 1] == ',') {
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

std::int64_t CsvRowReader::read(std::string_view firstLine, ContactRow& row) {
    if (firstLine.find('"') == std::string_view::npos) {
        row.cut(firstLine);
        return 1;
    }
    QuotedRowParser parser(row);
    Quoting quoting = parser.parse(firstLine, false);
    if (quoting == Quoting::Complete) {
        row.useOwnText();
        return 1;
    }
    if (quoting == Quoting::Malformed) {
        row.cut(firstLine);
        return 1;
    }

    firstLineCopy_.assign(firstLine);  // reading on may move the text the view points into
    lines_.mark();
    std::int64_t lineCount = 1;
    std::size_t readAhead = 0;
    std::string_view line;
    while (quoting == Quoting::Open && lines_.next(line)) {
        readAhead += line.size() + 1;
        if (readAhead > MaxReadAhead) break;
        ++lineCount;
        quoting = parser.parse(line, true);
    }
    if (quoting == Quoting::Complete) {
        row.useOwnText();
        lines_.dropMark();
        return lineCount;
    }
    lines_.rewindToMark();
    row.cut(firstLineCopy_);
    return 1;
}
