// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "line_reader.h"

#include <algorithm>
#include <cstring>

#include "decoded_input.h"

namespace {

std::size_t find(const std::string& text, char c, std::size_t from, std::size_t to) {
    const void* hit = std::memchr(text.data() + from, c, to - from);
    return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - text.data()) : to;
}

}  // namespace

bool LineReader::next(std::string_view& line) {
    for (;;) {
        lineStart_ = bufferStart_ + pos_;
        if (const std::optional<LineEnd> end = findLineEnd()) {
            line = std::string_view(buffer_).substr(pos_, end->at - pos_);
            lineEnd_ = bufferStart_ + end->at;
            pos_ = searchFrom_ = end->at + end->length;
            return true;
        }
        if (!exhausted_) {
            readMoreText();
            continue;
        }
        if (pos_ == buffer_.size()) return false;
        line = std::string_view(buffer_).substr(pos_);
        pos_ = searchFrom_ = buffer_.size();
        lineEnd_ = bufferStart_ + pos_;
        return true;
    }
}

std::optional<LineReader::LineEnd> LineReader::findLineEnd() {
    const std::size_t size = buffer_.size();
    if (lineEnds_ == LineEnds::Cr) {
        const std::size_t cr = find(buffer_, '\r', searchFrom_, size);
        searchFrom_ = cr;
        return cr < size ? lineEndAtCr(cr) : std::nullopt;
    }
    const std::size_t lf = find(buffer_, '\n', searchFrom_, size);
    const std::size_t cr = find(buffer_, '\r', searchFrom_, lf);
    searchFrom_ = std::min(cr, lf);
    if (lineEnds_ == LineEnds::NotSeenYet && searchFrom_ < size)
        lineEnds_ = cr < lf ? LineEnds::Cr : LineEnds::Lf;
    if (cr < lf) return lineEndAtCr(cr);
    if (lf < size) return LineEnd{lf, 1};
    return std::nullopt;
}

// A CR that ends the text read so far may be the first half of CR LF: that waits for more text.
std::optional<LineReader::LineEnd> LineReader::lineEndAtCr(std::size_t cr) const {
    if (cr + 1 < buffer_.size()) return LineEnd{cr, buffer_[cr + 1] == '\n' ? 2u : 1u};
    if (exhausted_) return LineEnd{cr, 1};
    return std::nullopt;
}

void LineReader::readMoreText() {
    // Keep only what is still to be read, or read again after a rewind.
    std::size_t keepFrom = pos_;
    if (held_) keepFrom = std::min<std::size_t>(keepFrom, *held_ - bufferStart_);
    buffer_.erase(0, keepFrom);
    bufferStart_ += keepFrom;
    pos_ -= keepFrom;
    searchFrom_ -= keepFrom;
    if (!input_.readMore(buffer_)) exhausted_ = true;
}

LineReader::LookAhead::LookAhead(LineReader& lines)
    : lines_(lines),
      firstStart_(lines.lineStart_),
      firstEnd_(lines.lineEnd_),
      afterFirst_(lines.bufferStart_ + lines.pos_) {
    lines_.held_ = firstStart_;
}

std::string_view LineReader::LookAhead::text() const {
    return std::string_view(lines_.buffer_)
        .substr(firstStart_ - lines_.bufferStart_, lines_.lineEnd_ - firstStart_);
}

void LineReader::LookAhead::rewind() {
    lines_.pos_ = lines_.searchFrom_ = static_cast<std::size_t>(afterFirst_ - lines_.bufferStart_);
    lines_.lineStart_ = firstStart_;
    lines_.lineEnd_ = firstEnd_;
}
