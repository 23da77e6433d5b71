// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "encoding_weigher.h"

#include <algorithm>

std::size_t EncodingWeigher::weigh(std::string_view bytes, bool atEnd) {
    const std::size_t taken = utf8::weigh(bytes, atEnd, evidence_);
    unweighed_ -= std::min<std::uint64_t>(unweighed_, taken);
    return taken;
}

bool EncodingWeigher::settled() const {
    utf8::Evidence best = evidence_;
    best.multiByteChars += unweighed_ / 2;  // every two bytes could still be a valid character
    return !isUtf8(best);
}

bool EncodingWeigher::isUtf8(const utf8::Evidence& evidence) {
    return evidence.invalidSequences * Utf8CharsPerInvalidSequence <= evidence.multiByteChars;
}
