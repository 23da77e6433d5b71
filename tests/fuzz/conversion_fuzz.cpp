// Fuzzes decoding and CSV reading. Each input is decoded whole and in pieces, then read from a
// file the way a run reads it; lines, rows and vCard records are checked against a plain
// reference reading of the same bytes.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "contact_record.h"
#include "conversion_run.h"
#include "cp936.h"
#include "csv_row_reader.h"
#include "decoded_input.h"
#include "line_reader.h"
#include "utf8.h"

namespace {

// A failed check aborts, so that libFuzzer saves the input and prints the stack.
[[noreturn]] void fail(const char* what, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, what);
    std::abort();
}

#define CHECK(cond) ((cond) ? void() : fail(#cond, __FILE__, __LINE__))

using Decoder = std::size_t (*)(std::string_view, bool, std::string&);

bool isUtf8(std::string_view text) {
    return utf8::validPrefixLength(text) == text.size();
}

std::string bytesBelow(std::string_view text, unsigned char limit) {
    std::string kept;
    for (const char c : text)
        if (static_cast<unsigned char>(c) < limit) kept += c;
    return kept;
}

// Parameters are taken from a hash of the input rather than from bytes of it, so that the seed
// files stay plain CSV and every mutation moves the cut points.
std::uint64_t hashOf(std::string_view data) {
    std::uint64_t h = 14695981039346656037ull;
    for (const char c : data) h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    return h;
}

struct DecoderTraits {
    Decoder decode;
    bool readsUtf8;
    std::size_t maxLeftOver;  // bytes a call without atEnd may leave: a cut character at most
    unsigned char keptBelow;  // bytes below this are never part of a multibyte character
};

// cp936 trail bytes start at 0x40; a UTF-8 multibyte character has no byte below 0x80.
constexpr DecoderTraits Cp936{&cp936::decode, false, 1, 0x40};
constexpr DecoderTraits Sanitize{&utf8::sanitize, true, 3, 0x80};

std::string decodeWhole(const DecoderTraits& d, std::string_view data) {
    std::string text;
    CHECK(d.decode(data, true, text) == data.size());
    CHECK(isUtf8(text));
    // Commas, quotes and line ends must come through exactly for the CSV reading to see them.
    CHECK(bytesBelow(text, d.keptBelow) == bytesBelow(data, d.keptBelow));
    return text;
}

void checkLeftOver(const DecoderTraits& d, std::string_view leftOver) {
    CHECK(leftOver.size() <= d.maxLeftOver);
    if (leftOver.empty()) return;
    if (d.readsUtf8)
        CHECK(utf8::isTruncatedChar(leftOver));
    else
        CHECK(static_cast<unsigned char>(leftOver[0]) >= 0x80);  // a lead byte
}

void checkDecoder(const DecoderTraits& d, std::string_view data, std::uint64_t h) {
    const std::string whole = decodeWhole(d, data);

    // Two pieces cut anywhere decode to the same text as the whole.
    const std::size_t cut = h % (data.size() + 1);
    std::string pieces;
    const std::size_t taken = d.decode(data.substr(0, cut), false, pieces);
    CHECK(taken <= cut);
    checkLeftOver(d, data.substr(taken, cut - taken));
    CHECK(d.decode(data.substr(taken), true, pieces) == data.size() - taken);
    CHECK(pieces == whole);

    // Many small reads, each carrying the cut character over as DecodedInput does.
    const std::size_t chunk = 1 + (h >> 20) % 7;
    std::string raw;
    std::string streamed;
    for (std::size_t at = 0; at < data.size(); at += chunk) {
        raw.append(data.substr(at, chunk));
        const bool atEnd = at + chunk >= data.size();
        raw.erase(0, d.decode(raw, atEnd, streamed));
        if (!atEnd) checkLeftOver(d, raw);
    }
    CHECK(raw.empty());
    CHECK(streamed == whole);
}

// U+FFFD stands for bytes the code page does not define; encoding writes it as '?'.
std::string withQuestionMarks(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        if (text.substr(i).starts_with(utf8::ReplacementChar)) {
            out += '?';
            i += utf8::ReplacementChar.size();
        } else {
            out += text[i++];
        }
    }
    return out;
}

void checkDecoding(std::string_view data, std::uint64_t h) {
    checkDecoder(Cp936, data, h);
    checkDecoder(Sanitize, data, h);
    if (isUtf8(data)) {
        std::string same;
        utf8::sanitize(data, true, same);
        CHECK(same == data);
    }

    // Text decoded from the code page goes back to bytes that decode to it again.
    std::string text;
    cp936::decode(data, true, text);
    std::string bytes;
    cp936::encode(text, bytes);
    std::string again;
    cp936::decode(bytes, true, again);
    CHECK(again == withQuestionMarks(text));

    // Encoding malformed UTF-8 writes '?' (0x3F) for it and keeps every byte below that.
    std::string encoded;
    cp936::encode(data, encoded);
    CHECK(bytesBelow(encoded, 0x3F) == bytesBelow(data, 0x3F));
}

// ---- The reference reading: the whole file at once, one character at a time ----

std::string expectedText(std::string_view file) {
    std::string text;
    if (file.starts_with(utf8::ByteOrderMark))
        utf8::sanitize(file.substr(utf8::ByteOrderMark.size()), true, text);
    else if (isUtf8(file))
        text.assign(file);
    else
        cp936::decode(file, true, text);
    return text;
}

// The first line end decides: after a CR, only CR LF and CR end lines; after an LF, all do.
bool lfEndsLines(std::string_view text) {
    for (const char c : text)
        if (c == '\r' || c == '\n') return c == '\n';
    return true;
}

std::vector<std::string_view> expectedLines(std::string_view text) {
    const bool lfEnds = lfEndsLines(text);
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && !(lfEnds && text[i] == '\n')) continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

struct ExpectedRow {
    std::vector<std::string> fields;
    std::int64_t lines;
};

// A field shows a line break as a space; lines hold no CR, but a CR file's lines may hold LF.
std::vector<std::string> spaced(std::vector<std::string> fields) {
    for (std::string& field : fields) std::replace(field.begin(), field.end(), '\n', ' ');
    return fields;
}

std::vector<std::string> cutAtCommas(std::string_view line) {
    std::vector<std::string> fields(1);
    for (const char c : line) {
        if (c == ',')
            fields.emplace_back();
        else
            fields.back() += c;
    }
    return spaced(std::move(fields));
}

ExpectedRow expectedRow(const std::vector<std::string_view>& lines, std::size_t first) {
    enum class State { FieldStart, Plain, Quoted, AfterQuote };
    const std::string_view line = lines[first];
    if (line.find('"') == std::string_view::npos) return {cutAtCommas(line), 1};

    State state = State::FieldStart;
    std::vector<std::string> fields(1);
    std::size_t readAhead = 0;
    for (std::size_t k = first; k < lines.size(); ++k) {
        if (k > first) {
            readAhead += lines[k].size() + 1;
            if (readAhead > CsvRowReader::MaxReadAhead) break;
            fields.back() += ' ';
        }
        bool malformed = false;
        for (const char c : lines[k]) {
            switch (state) {
                case State::FieldStart:
                    if (c == '"') {
                        state = State::Quoted;
                        break;
                    }
                    state = State::Plain;
                    [[fallthrough]];
                case State::Plain:
                    if (c == ',') {
                        fields.emplace_back();
                        state = State::FieldStart;
                    } else {
                        fields.back() += c;
                    }
                    break;
                case State::Quoted:
                    if (c == '"')
                        state = State::AfterQuote;
                    else
                        fields.back() += c;
                    break;
                case State::AfterQuote:
                    if (c == '"') {
                        fields.back() += '"';
                        state = State::Quoted;
                    } else if (c == ',') {
                        fields.emplace_back();
                        state = State::FieldStart;
                    } else {
                        malformed = true;
                    }
                    break;
            }
            if (malformed) break;
        }
        if (malformed) break;
        if (state != State::Quoted)
            return {spaced(std::move(fields)), static_cast<std::int64_t>(k - first + 1)};
    }
    return {cutAtCommas(line), 1};  // quoting broken or never closed
}

// ---- Checks on what the conversion core reads ----

std::size_t firstCharLength(std::string_view text) {
    if (text.empty()) return 0;
    const auto lead = static_cast<unsigned char>(text[0]);
    return lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
}

std::string concat(std::initializer_list<std::string_view> parts) {
    std::string text;
    for (const std::string_view part : parts) text.append(part);
    return text;
}

void checkRow(const ContactRow& row, const ExpectedRow& want) {
    CHECK(row.count == want.fields.size());
    for (std::size_t i = 0; i < ContactRow::UsedFields; ++i) {
        const std::string_view field = row.fields[i];
        CHECK(isUtf8(field));
        CHECK(field.find_first_of("\r\n") == std::string_view::npos);
        CHECK(field == (i < want.fields.size() ? want.fields[i] : std::string()));
    }
}

// One property a line, each line ended by CR LF except the last, values as the row holds them.
void checkRecord(std::string_view record, const ContactRow& row) {
    CHECK(row.count >= 1);
    CHECK(isUtf8(record));
    std::vector<std::string_view> lines;
    for (;;) {
        const std::size_t end = record.find("\r\n");
        const std::string_view line = record.substr(0, end);
        CHECK(line.find_first_of("\r\n") == std::string_view::npos);
        lines.push_back(line);
        if (end == std::string_view::npos) break;
        record.remove_prefix(end + 2);
    }
    const std::size_t optional = std::min<std::size_t>(row.count, ContactRow::UsedFields) - 1;
    CHECK(lines.size() == 5 + optional);
    CHECK(lines[0] == "BEGIN:VCARD");
    CHECK(lines[1] == "VERSION:2.1");
    const std::string_view name = row.fields[ContactRow::Name];
    const std::size_t family = firstCharLength(name);
    CHECK(lines[2] == concat({"N:", name.substr(0, family), ";", name.substr(family), ";;"}));
    CHECK(lines[3] == concat({"FN:", name}));
    static constexpr std::string_view Tags[] = {
        "ORG:", "TEL;WORK;VOICE:", "TEL;HOME;VOICE:", "TEL;CELL;VOICE:"};
    for (std::size_t i = 0; i < optional; ++i)
        CHECK(lines[4 + i] == concat({Tags[i], row.fields[ContactRow::Company + i]}));
    CHECK(lines.back() == "END:VCARD");
}

// One file name per process, so that parallel jobs do not share it. It lives in memory where it
// can: rewriting a file on disk takes longer than the checks themselves.
class ScratchFile {
public:
    ScratchFile() : path_(folder() / ("zeluvar-fuzz-" + std::to_string(::getpid()) + ".csv")) {}

    void write(std::string_view bytes) const {
        std::FILE* file = std::fopen(path_.c_str(), "wb");
        CHECK(file != nullptr);
        CHECK(std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size());
        CHECK(std::fclose(file) == 0);
    }
    QString path() const { return QString::fromStdString(path_.string()); }
    void remove() const { CHECK(std::filesystem::remove(path_)); }

private:
    static std::filesystem::path folder() {
        std::error_code error;
        if (std::filesystem::is_directory("/dev/shm", error)) return "/dev/shm";
        return std::filesystem::temp_directory_path();
    }

    std::filesystem::path path_;
};

// Lines and rows as ConversionRun::convertLines reads them: a row over several lines takes them
// all, and a row whose quoting fails gives its lines back to be read again.
void checkRun(const ScratchFile& file, const std::vector<std::string_view>& want, bool lfEnds) {
    DecodedInput input;
    CHECK(input.open(file.path()));
    file.remove();  // the open file reads on; a crash leaves nothing behind
    LineReader reader(input);
    CsvRowReader rows(reader);
    ContactRow row;
    std::string record;
    std::size_t at = 0;
    std::string_view line;
    while (reader.next(line)) {
        CHECK(isUtf8(line));
        CHECK(line.find('\r') == std::string_view::npos);
        CHECK(!lfEnds || line.find('\n') == std::string_view::npos);
        CHECK(at < want.size() && line == want[at]);
        std::int64_t taken = 1;
        if (isDataLine(line)) {
            const ExpectedRow expected = expectedRow(want, at);
            taken = rows.read(line, row);
            CHECK(taken == expected.lines);
            checkRow(row, expected);
            record.clear();
            VCardRecord::appendTo(record, row);
            checkRecord(record, row);
        }
        CHECK(taken >= 1);
        at += static_cast<std::size_t>(taken);
    }
    CHECK(at == want.size());
    CHECK(!input.failed());
}

void checkReading(std::string_view data, std::uint64_t h) {
    static const ScratchFile scratch;
    std::string file;
    // Now and then the input goes behind a blank line that puts the end of DecodedInput's
    // first read somewhere inside it, so that lines, characters and quoted rows cross reads.
    if ((h >> 40) % 16 == 0) {
        const std::size_t room = std::min<std::size_t>(data.size(), DecodedInput::ChunkSize - 1);
        const std::size_t firstReadEnds = (h >> 44) % (room + 1);
        file.assign(DecodedInput::ChunkSize - firstReadEnds - 1, ' ');
        file += lfEndsLines(data) ? '\n' : '\r';  // keeps the input's own line ends
    }
    file += data;
    scratch.write(file);
    const std::string text = expectedText(file);
    const std::vector<std::string_view> lines = expectedLines(text);
    checkRun(scratch, lines, lfEndsLines(text));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const std::string_view data(reinterpret_cast<const char*>(bytes), size);
    const std::uint64_t h = hashOf(data);
    checkDecoding(data, h);
    checkReading(data, h);
    return 0;
}
