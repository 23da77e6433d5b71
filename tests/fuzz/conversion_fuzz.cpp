// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes decoding and CSV reading: each input is decoded whole and in two pieces, then read from
// a file the way a run reads it, checking what every later step relies on.
#include <unistd.h>
#include <cstdio>
#include <cstdlib>

#include <fstream>
#include <string>
#include <string_view>

#include "contact_record.h"
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

// Every line the line reader gives, rows end up taking exactly once; each field stays on one line.
void checkReading(const QString& path) {
    std::size_t lineCount = 0;
    {
        DecodedInput input;
        CHECK(input.open(path));
        LineReader lines(input);
        std::string_view line;
        for (; lines.next(line); ++lineCount) CHECK(isUtf8(line) && line.find('\r') == line.npos);
    }
    DecodedInput input;
    CHECK(input.open(path));
    LineReader lines(input);
    CsvRowReader rows(lines);
    CsvRow row;
    std::size_t counted = 0;
    std::string record;
    while (rows.next(row)) {
        CHECK(row.lineCount >= 1 && isUtf8(row.text));
        for (std::string_view field : row.fields.values)
            CHECK(isUtf8(field) && field.find_first_of("\r\n") == field.npos);
        record.clear();
        VCardRecord::appendTo(record, row.fields);
        CHECK(record.ends_with("\r\nEND:VCARD"));
        counted += static_cast<std::size_t>(row.lineCount);
    }
    CHECK(!input.failed());
    CHECK(counted == lineCount);
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
    checkReading(QString::fromStdString(path));
    std::remove(path.c_str());
    return 0;
}
