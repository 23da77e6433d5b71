// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "utf8.h"

// Tells UTF-8 from code page 936 in a file without a byte-order mark, by the evidence of the
// whole file: it is UTF-8 unless it holds more invalid sequences than a damaged UTF-8 file would
// (see Utf8CharsPerInvalidSequence). One stray byte never turns a UTF-8 list into code page 936.
class EncodingWeigher {
public:
    // `fileSize`: the bytes to come, so that the weighing can end as soon as they could no longer
    // change the verdict.
    explicit EncodingWeigher(std::uint64_t fileSize) : unweighed_(fileSize) {}

    // Weighs the next bytes of the file. Returns how many it took: all of them with `atEnd`,
    // otherwise a character cut by the end of `bytes` is left for the next call.
    std::size_t weigh(std::string_view bytes, bool atEnd);

    // True once even the bytes not weighed yet, were they all valid characters, could not make
    // the file UTF-8: code page 936 text is settled in its first piece.
    bool settled() const;

    // The verdict on the bytes weighed so far.
    bool isUtf8() const { return isUtf8(evidence_); }

    // A UTF-8 file damaged here and there holds at least this many valid characters of two or
    // more bytes for each invalid sequence. Code page 936 contact lists, read as UTF-8, hold 0.3
    // to 0.6 valid ones per invalid one; a short UTF-8 list's heading alone holds 16.
    static constexpr std::uint64_t Utf8CharsPerInvalidSequence = 8;

private:
    static bool isUtf8(const utf8::Evidence& evidence);

    utf8::Evidence evidence_;
    std::uint64_t unweighed_;
};
