// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "utf8.h"

// Tells UTF-8 from code page 936 in a file without a byte-order mark. The file is read both ways,
// and each reading's text is weighed as a Chinese contact list: common hanzi (GB2312's first
// level) and ASCII cost nothing; rarer hanzi, letters of other scripts, a change of script inside
// a word, symbols, and bytes that make no character cost more, the less likely a contact list is
// to hold them. The cheaper reading wins, UTF-8 on a tie. Code page 936 read as UTF-8 shows
// invalid sequences, stray Cyrillic, Greek and Latin-1 symbols, scripts mixed in a word; UTF-8
// read as code page 936 shows rare hanzi (王伟 as 鐜嬩紵). A list damaged once (a byte inserted,
// overwritten or dropped, the end cut off) keeps its encoding from three names on, or with a
// heading; a single damaged name may be too little text to tell. A Russian or English list in
// UTF-8 stays UTF-8.
// A file whose UTF-8 reading holds more invalid sequences than damage leaves (isBeyondDamage) is
// code page 936 whatever its characters; from there on the bytes are only counted, and a large
// file is settled as soon as the bytes still to come could no longer change that.
class EncodingWeigher {
public:
    // `fileSize`: the bytes to come, so that the weighing can end as soon as they could no longer
    // change the verdict.
    explicit EncodingWeigher(std::uint64_t fileSize) : unweighed_(fileSize) {}

    // Weighs the next bytes of the file. Returns how many it took: all of them with `atEnd`,
    // otherwise a character cut by the end of `bytes` is left for the next call; fewer once the
    // file is certainly code page 936.
    std::size_t weigh(std::string_view bytes, bool atEnd);

    // True once the file is certainly code page 936, whatever the bytes not weighed yet hold.
    bool certainlyCp936() const;

    // The verdict on the bytes weighed so far.
    bool isUtf8() const;

    // A damaged UTF-8 file holds a few invalid sequences, up to four for each damaged byte, and
    // far fewer than one for every 8 valid characters of two or more bytes. Code page 936 contact
    // lists, read as UTF-8, hold 0.3 to 0.6 valid ones per invalid one.
    static constexpr std::uint64_t MostInvalidSequencesOfDamage = 64;
    static constexpr std::uint64_t Utf8CharsPerInvalidSequence = 8;
    static bool isBeyondDamage(std::uint64_t invalidSequences, std::uint64_t multiByteChars);

private:
    // One reading of the file: what its text has cost so far, and where it stands.
    struct Reading {
        std::uint64_t cost = 0;
        std::uint32_t wordScript = 0;  // the script of the word read last; 0 after a non-letter
        std::size_t ahead = 0;         // bytes of the next piece it has weighed already

        void take(char32_t c);
        void takeInvalid();
        void takeCutChar();
        void takeCommonHanzi();
        void takeAscii(std::string_view run);
    };

    // Each returns how far it read; the readings stop at different places before a cut character.
    std::size_t weighBothWays(std::string_view bytes, bool atEnd);
    std::size_t weighAsUtf8(std::string_view bytes, bool atEnd);
    std::size_t weighAsCp936(std::string_view bytes, bool atEnd);
    std::size_t countAsUtf8(std::string_view bytes, bool atEnd);

    // Both readings are weighed a stretch at a time until the invalid sequences alone are beyond
    // damage; from there on those are only counted, which is all the verdict then rests on, until
    // the file is certainly code page 936.
    static constexpr std::size_t Stretch = 4096;

    Reading utf8_, cp936_;
    utf8::Evidence evidence_;  // of the UTF-8 reading
    bool onlyCounting_ = false;
    std::uint64_t unweighed_;
};
