// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// A player name as the games store it mixes colour codes with the visible characters: "^" and
// the character after it switch the colour of every visible character that follows. The editor
// works on the visible characters, each with a colour index; these are the two conversions.
//
// Texts are 8-bit: one byte is one character.

inline constexpr int MaxNameLength = 30;
inline constexpr std::uint8_t DefaultColor = 7;

// Slot i (1 to 30) holds the colour of the i-th visible character. Slot 0 belongs to no
// character: the encoder puts a marker there so that the first character always gets a code.
using NameColorTable = std::array<std::uint8_t, MaxNameLength + 1>;

// Takes the coded name apart. Returns every visible character (also beyond 30, so the caller can
// measure and refuse an over-long name) and overwrites slots 1.. of `colors` (never beyond 30,
// never slot 0) with their colours.
std::string DecodeName(std::string_view coded, NameColorTable& colors);

// Builds the tag for the first `length` (at most 30) characters of `visible` with the colours in
// slots 1..length. Writes the marker into slot 0 first.
std::string EncodeTag(std::string_view visible, int length, NameColorTable& colors);
