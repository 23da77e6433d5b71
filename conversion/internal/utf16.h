// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// UTF-16 files, which Windows programs write when told to save "Unicode" text.
namespace utf16 {

enum class ByteOrder { LittleEndian, BigEndian };

// Appends the UTF-8 text of the UTF-16 `bytes` to `out`; an unpaired surrogate, and an odd byte
// ending the file, become U+FFFD. Returns how many bytes it consumed: all of them with `atEnd`,
// otherwise a code unit or surrogate pair cut by the end of `bytes` is left for the next call.
std::size_t decode(std::string_view bytes, ByteOrder order, bool atEnd, std::string& out);

}  // namespace utf16
