#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class DecodedInput;

// Splits decoded text into lines. The first line end in the file decides what ends a line: after
// a CR (alone or in CR LF) a line ends at CR LF or a lone CR, and a lone LF is text, the way Excel
// writes a break inside a cell; after an LF (LibreOffice on Linux), LF, CR LF and CR all end lines.
class LineReader {
public:
    explicit LineReader(DecodedInput& input) : input_(input) {}

    // The next line without its line end, valid until the next call; false when none is left.
    bool next(std::string_view& line);

    // Where the line last read starts, and where the line after it starts, as offsets in the text.
    std::uint64_t lineStart() const { return lineStart_; }
    std::uint64_t nextLineStart() const { return bufferStart_ + pos_; }

    // Keeps the text from `offset` (a line start) in memory until release(), so that it can be
    // looked at whole and its lines read again.
    void hold(std::uint64_t offset) { held_ = offset; }
    void release() { held_.reset(); }
    // Held text, valid until the next call of next().
    std::string_view heldText(std::uint64_t from, std::uint64_t to) const;
    // The next line read starts at `offset`, a held line start.
    void seek(std::uint64_t offset);

private:
    enum class LineEnds { NotSeenYet, Cr, Lf };

    struct LineEnd {
        std::size_t at;      // index in buffer_
        std::size_t length;  // 1 or 2
    };

    std::optional<LineEnd> findLineEnd();
    std::optional<LineEnd> lineEndAtCr(std::size_t cr) const;
    void readMoreText();

    DecodedInput& input_;
    std::string buffer_;
    std::uint64_t bufferStart_ = 0;  // offset in the text of buffer_[0]
    std::size_t pos_ = 0;            // start of the next line in buffer_
    std::size_t searchFrom_ = 0;     // no line end lies in [pos_, searchFrom_)
    std::uint64_t lineStart_ = 0;
    std::optional<std::uint64_t> held_;
    LineEnds lineEnds_ = LineEnds::NotSeenYet;
    bool exhausted_ = false;
};
