// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "encoding_weigher.h"

#include <algorithm>
#include <array>

#include "cp936.h"
#include "utf8.h"

namespace {

// What a character costs a reading, roughly how unlikely a contact list is to hold it.
constexpr unsigned RareHanzi = 3;     // outside GB2312's first level
constexpr unsigned ForeignWord = 2;   // a word begun in a letter that is neither ASCII nor hanzi
constexpr unsigned ScriptChange = 3;  // a letter of another script than the one before it
constexpr unsigned Punctuation = 1;   // CJK, full-width and general punctuation
constexpr unsigned Oddity = 2;        // a symbol, control or private character
constexpr unsigned Invalid = 3;       // bytes that make no character (U+FFFD)
constexpr unsigned CutChar = 1;       // the valid start of a character, cut by the end of the file

// Scripts, by which a word is told mixed; other alphabets go by their block of 128 characters.
enum Script : std::uint32_t { NoScript, Latin, Han, Greek, Cyrillic, Hangul, OtherScripts };

enum class Class : std::uint8_t { Odd, Punct, Letter, Hanzi, Kana };

struct Range {
    char32_t first;
    Class kind;
    std::uint32_t script;
};

// Each range runs up to the next one's first character.
constexpr std::array<Range, 29> Ranges = {{
    {0x80, Class::Odd, NoScript},  // C1 controls, Latin-1 symbols
    {0xC0, Class::Letter, Latin},
    {0x250, Class::Odd, NoScript},  // IPA, modifiers, combining marks
    {0x370, Class::Letter, Greek},
    {0x400, Class::Letter, Cyrillic},
    {0x530, Class::Letter, OtherScripts},
    {0x1E00, Class::Letter, Latin},  // Vietnamese and the like
    {0x1F00, Class::Letter, Greek},
    {0x2000, Class::Odd, NoScript},
    {0x2010, Class::Punct, NoScript},  // dashes, quotes, ellipsis
    {0x205F, Class::Odd, NoScript},    // symbols, arrows, box drawing, radicals
    {0x3000, Class::Punct, NoScript},
    {0x3040, Class::Kana, Han},  // kana and bopomofo, which GBK holds and names do not
    {0x3130, Class::Letter, Hangul},
    {0x3190, Class::Odd, NoScript},
    {0x3400, Class::Hanzi, Han},
    {0x4DC0, Class::Odd, NoScript},
    {0x4E00, Class::Hanzi, Han},
    {0xA000, Class::Letter, OtherScripts},
    {0xAC00, Class::Letter, Hangul},
    {0xD7B0, Class::Odd, NoScript},  // surrogates, private use
    {0xF900, Class::Hanzi, Han},
    {0xFB00, Class::Odd, NoScript},  // presentation forms
    {0xFE30, Class::Punct, NoScript},
    {0xFE70, Class::Odd, NoScript},
    {0xFF00, Class::Punct, NoScript},  // full-width forms
    {0xFFF0, Class::Odd, NoScript},    // specials, U+FFFD among them; emoji
    {0x20000, Class::Hanzi, Han},
    {0x40000, Class::Odd, NoScript},
}};

Range rangeOf(char32_t c) {
    const auto next =
        std::upper_bound(Ranges.begin(), Ranges.end(), c,
                         [](char32_t code, const Range& r) { return code < r.first; });
    return *(next - 1);
}

bool isAsciiLetter(char c) {
    return (static_cast<unsigned char>(c) | 0x20u) - 'a' < 26u;
}

}  // namespace

void EncodingWeigher::Reading::take(char32_t c) {
    const Range range = rangeOf(c);
    std::uint32_t script = range.script;
    switch (range.kind) {
        case Class::Odd:
            cost += Oddity;
            wordScript = NoScript;
            return;
        case Class::Punct:
            cost += Punctuation;
            wordScript = NoScript;
            return;
        case Class::Hanzi:
            cost += cp936::isCommonHanzi(c) ? 0 : RareHanzi;
            break;
        case Class::Kana:
            cost += RareHanzi;
            break;
        case Class::Letter:
            if (script == OtherScripts) script += c >> 7;
            if (script != wordScript) cost += ForeignWord;
            break;
    }
    if (wordScript != NoScript && script != wordScript) cost += ScriptChange;
    wordScript = script;
}

void EncodingWeigher::Reading::takeInvalid() {
    cost += Invalid;
    wordScript = NoScript;
}

void EncodingWeigher::Reading::takeCutChar() {
    cost += CutChar;
}

void EncodingWeigher::Reading::takeCommonHanzi() {
    if (wordScript != NoScript && wordScript != Han) cost += ScriptChange;
    wordScript = Han;
}

void EncodingWeigher::Reading::takeAscii(std::string_view run) {
    if (wordScript != NoScript && wordScript != Latin && isAsciiLetter(run.front()))
        cost += ScriptChange;
    wordScript = isAsciiLetter(run.back()) ? Latin : NoScript;
}

std::size_t EncodingWeigher::weighAsUtf8(std::string_view bytes, bool atEnd) {
    std::size_t at = utf8_.ahead;
    while (at < bytes.size()) {
        const std::string_view rest = bytes.substr(at);
        if (const std::size_t ascii = utf8::asciiPrefixLength(rest)) {
            utf8_.takeAscii(rest.substr(0, ascii));
            at += ascii;
            continue;
        }
        const utf8::Sequence c = utf8::firstSequence(rest);
        if (c.length == 0) {
            if (!atEnd) break;
            ++evidence_.invalidSequences;
            utf8_.takeCutChar();
            at = bytes.size();
        } else if (c.valid) {
            ++evidence_.multiByteChars;
            utf8_.take(c.codePoint);
        } else {
            ++evidence_.invalidSequences;
            utf8_.takeInvalid();
        }
        at += c.length;
    }
    return at;
}

std::size_t EncodingWeigher::weighAsCp936(std::string_view bytes, bool atEnd) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t at = cp936_.ahead;
    while (at < bytes.size()) {
        const std::string_view rest = bytes.substr(at);
        if (const std::size_t ascii = utf8::asciiPrefixLength(rest)) {
            cp936_.takeAscii(rest.substr(0, ascii));
            at += ascii;
            continue;
        }
        if (at + 1 < bytes.size() && cp936::isCommonHanzi(p[at], p[at + 1])) {
            cp936_.takeCommonHanzi();
            at += 2;
            continue;
        }
        const cp936::Char c = cp936::firstChar(rest);
        if (c.length == 0) {
            if (!atEnd) break;
            cp936_.takeCutChar();
            at = bytes.size();
        } else if (c.unit == u'\uFFFD') {
            cp936_.takeInvalid();
        } else {
            cp936_.take(c.unit);
        }
        at += c.length;
    }
    return at;
}

std::size_t EncodingWeigher::weighBothWays(std::string_view bytes, bool atEnd) {
    const std::size_t asUtf8 = weighAsUtf8(bytes, atEnd);
    const std::size_t asCp936 = weighAsCp936(bytes, atEnd);
    const std::size_t taken = std::min(asUtf8, asCp936);
    utf8_.ahead = asUtf8 - taken;
    cp936_.ahead = asCp936 - taken;
    return taken;
}

std::size_t EncodingWeigher::countAsUtf8(std::string_view bytes, bool atEnd) {
    // The bytes the UTF-8 reading went ahead by are counted already.
    const std::size_t counted =
        utf8_.ahead + utf8::weigh(bytes.substr(utf8_.ahead), atEnd, evidence_);
    utf8_.ahead = 0;
    return counted;
}

std::size_t EncodingWeigher::weigh(std::string_view bytes, bool atEnd) {
    std::size_t taken = 0;
    for (;;) {
        const std::string_view stretch = bytes.substr(taken, Stretch);
        const bool last = taken + stretch.size() == bytes.size();
        const std::size_t weighed = onlyCounting_ ? countAsUtf8(stretch, atEnd && last)
                                                  : weighBothWays(stretch, atEnd && last);
        taken += weighed;
        unweighed_ -= std::min<std::uint64_t>(unweighed_, weighed);
        if (last || certainlyCp936()) return taken;
        onlyCounting_ =
            onlyCounting_ || isBeyondDamage(evidence_.invalidSequences, evidence_.multiByteChars);
    }
}

bool EncodingWeigher::isBeyondDamage(std::uint64_t invalidSequences, std::uint64_t multiByteChars) {
    return invalidSequences > MostInvalidSequencesOfDamage &&
           invalidSequences * Utf8CharsPerInvalidSequence > multiByteChars;
}

bool EncodingWeigher::certainlyCp936() const {
    // Every two bytes to come could still be a valid character.
    return isBeyondDamage(evidence_.invalidSequences, evidence_.multiByteChars + unweighed_ / 2);
}

bool EncodingWeigher::isUtf8() const {
    return !isBeyondDamage(evidence_.invalidSequences, evidence_.multiByteChars) &&
           utf8_.cost <= cp936_.cost;
}
