// Fuzzes decoding and CSV reading: each input is decoded whole and in two pieces, then read from
// a file the way a run reads it, checking what every later step relies on.
#include <unistd.h>
#include <cstdio>
#include <cstdlib>

#include <fstream>
#include <string>
#include <string_view>

#include "contact_record.h"
#include "conversion_run.h"
#include "cp936.h"
#include "csv_row_reader.h"
#include "decoded_input.h"
#include "line_reader.h"
#include "utf8.h"

namespace {

// A failed check aborts, so that libFuzzer keeps the input and prints the stack.
#define CHECK(cond)  \
    ((cond) ? void() \
            : (std::fprintf(stderr, "%s:%d: %s\n", __FILE__, __LINE__, #cond), std::abort()))

bool isUtf8(std::string_view text) {
    return utf8::validPrefixLength(text) == text.size();
}

bool hasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != text.npos;
}

using Decoder = std::size_t (*)(std::string_view, bool, std::string&);

void checkDecoder(Decoder decode, std::string_view data, std::size_t cut) {
    std::string whole;
    CHECK(decode(data, true, whole) == data.size());
    CHECK(isUtf8(whole));
    std::string pieces;
    const std::size_t taken = decode(data.substr(0, cut), false, pieces);
    CHECK(taken <= cut && cut - taken <= 3);  // at most a cut character waits
    decode(data.substr(taken), true, pieces);
    CHECK(pieces == whole);
}

// The reading a run does: every line counted once, each field on one line.
void checkReading(const std::string& path, std::size_t expectedLines) {
    DecodedInput input;
    CHECK(input.open(QString::fromStdString(path)));
    LineReader lines(input);
    CsvRowReader rows(lines);
    ContactRow row;
    std::size_t counted = 0;
    std::string_view line;
    while (lines.next(line)) {
        CHECK(isUtf8(line) && line.find('\r') == line.npos);
        std::int64_t taken = 1;
        if (isDataLine(line)) {
            taken = rows.read(line, row);
            for (std::string_view field : row.fields) CHECK(isUtf8(field) && !hasLineBreak(field));
            CHECK(VCardRecord::of(row).ends_with("\r\nEND:VCARD"));
        }
        CHECK(taken >= 1);
        counted += static_cast<std::size_t>(taken);
    }
    CHECK(!input.failed());
    CHECK(counted == expectedLines);
}

// Lines of already decoded text, the first line end deciding whether a lone LF ends one.
std::size_t lineCount(std::string_view text) {
    const std::size_t firstEnd = text.find_first_of("\r\n");
    const bool lfEnds = firstEnd == text.npos || text[firstEnd] == '\n';
    std::size_t count = 0, start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && !(lfEnds && text[i] == '\n')) continue;
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        ++count;
        start = i + 1;
    }
    return count + (start < text.size());
}

std::string decodedAsARunDoes(std::string_view file) {
    std::string text;
    if (file.starts_with(utf8::ByteOrderMark))
        utf8::sanitize(file.substr(utf8::ByteOrderMark.size()), true, text);
    else if (isUtf8(file))
        text = file;
    else
        cp936::decode(file, true, text);
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* bytes, std::size_t size) {
    const std::string_view data(reinterpret_cast<const char*>(bytes), size);
    const std::size_t cut = std::hash<std::string_view>{}(data) % (size + 1);
    checkDecoder(cp936::decode, data, cut);
    checkDecoder(utf8::sanitize, data, cut);

    // One input in eight sits behind a blank line long enough to cut it across the first read.
    std::string file;
    if (cut % 8 == 0) file.assign(DecodedInput::ChunkSize - 1 - cut % 64, ' ').append("\r\n");
    file.append(data);
    static const std::string path = "/dev/shm/zeluvar-fuzz-" + std::to_string(getpid()) + ".csv";
    std::ofstream(path, std::ios::binary | std::ios::trunc) << file;
    checkReading(path, lineCount(decodedAsARunDoes(file)));
    std::remove(path.c_str());
    return 0;
}
