// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>

// Code page 936 as Windows defines it, in the form of ICU's "windows-936-2000" converter, which
// tools/cp936_tables reads into cp936_tables.cpp. Every character lies in the BMP, so one UTF-16
// unit holds it.
namespace cp936::tables {

// The bytes that begin a two-byte character; alone, at the end of the input, each is U+FFFD.
inline constexpr unsigned FirstLead = 0x81;
inline constexpr unsigned LastLead = 0xFE;
inline constexpr std::size_t LeadCount = LastLead - FirstLead + 1;

// The trail bytes a lead byte can take. After a lead byte, any other byte makes the lead byte
// U+FFFD on its own and is then read afresh.
inline constexpr unsigned FirstTrail = 0x40;
inline constexpr unsigned LastTrail = 0xFE;
inline constexpr std::size_t TrailCount = LastTrail - FirstTrail + 1;

inline constexpr char16_t Replacement = 0xFFFD;

// What each byte from 0x80 up decodes to alone: a character, or U+FFFD for a lead byte.
extern const std::array<char16_t, 0x80> HighBytes;

// What each lead byte decodes to with each trail byte, at (lead - FirstLead) * TrailCount +
// (trail - FirstTrail). U+FFFD means the pair is no character: the trail byte is not taken, as
// for a trail byte outside the range.
extern const std::array<char16_t, LeadCount * TrailCount> Pairs;

}  // namespace cp936::tables
