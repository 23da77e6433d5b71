// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "utf16.h"

#include "utf8.h"

namespace utf16 {
namespace {

bool isHighSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool isLowSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace

std::size_t decode(std::string_view bytes, ByteOrder order, bool atEnd, std::string& out) {
    const auto unitAt = [&](std::size_t i) -> char32_t {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        return order == ByteOrder::LittleEndian ? char32_t(second << 8 | first)
                                                : char32_t(first << 8 | second);
    };
    std::size_t i = 0;
    for (; i + 2 <= bytes.size(); i += 2) {
        const char32_t unit = unitAt(i);
        if (isHighSurrogate(unit)) {
            if (i + 4 > bytes.size() && !atEnd) break;  // its pair may follow in the next piece
            if (i + 4 <= bytes.size() && isLowSurrogate(unitAt(i + 2))) {
                utf8::append(out, 0x10000 + ((unit - 0xD800) << 10) + (unitAt(i + 2) - 0xDC00));
                i += 2;
                continue;
            }
        }
        if (isHighSurrogate(unit) || isLowSurrogate(unit))
            out += utf8::ReplacementChar;
        else
            utf8::append(out, unit);
    }
    if (atEnd && i < bytes.size()) {
        out += utf8::ReplacementChar;
        i = bytes.size();
    }
    return i;
}

}  // namespace utf16
