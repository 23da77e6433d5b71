// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
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

    // Where the line last read starts, as an offset in the text.
    std::uint64_t lineStart() const { return lineStart_; }

    class LookAhead;

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
    std::uint64_t lineEnd_ = 0;          // where the line last read ends, before its line end
    std::optional<std::uint64_t> held_;  // no text from here on leaves memory
    LineEnds lineEnds_ = LineEnds::NotSeenYet;
    bool exhausted_ = false;
};

// Reads on past the line last read, and can come back to just after it: the text from that line
// on stays in memory while the look-ahead lasts, and until the next line is read after it.
class LineReader::LookAhead {
public:
    explicit LookAhead(LineReader& lines);
    ~LookAhead() { lines_.held_.reset(); }
    LookAhead(const LookAhead&) = delete;
    LookAhead& operator=(const LookAhead&) = delete;

    bool next(std::string_view& line) { return lines_.next(line); }
    std::uint64_t lineStart() const { return lines_.lineStart_; }

    // The text from the first line's start to the end of the line last read, line ends within it
    // included: valid until the next line is read.
    std::string_view text() const;

    // Back to where the look-ahead started: the first line is the one last read again.
    void rewind();

private:
    LineReader& lines_;
    std::uint64_t firstStart_, firstEnd_, afterFirst_;
};
