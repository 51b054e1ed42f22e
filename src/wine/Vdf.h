// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Valve's text key-value format (".vdf"), as Steam writes libraryfolders.vdf:
//
//   "libraryfolders"
//   {
//       "0"
//       {
//           "path"      "/home/player/.local/share/Steam"
//       }
//   }
//
// A key is followed either by a text value or by a block of further entries in braces. Keys and
// values are quoted (with the escapes \\ \" \n \t) or bare words; "//" starts a comment that runs
// to the end of the line; a "[$CONDITION]" after an entry is read and ignored.

struct VdfEntry {
    std::string key;
    std::string value;              // for a text entry
    std::vector<VdfEntry> children; // for a block
    bool isBlock = false;
};

// The first of `entries` whose key equals `key` without regard to ASCII case, or nullptr.
const VdfEntry* FindVdfEntry(const std::vector<VdfEntry>& entries, std::string_view key);

// The top-level entries of a file's text, or nothing when the text is not well formed (an
// unterminated string, unbalanced braces, a key without a value, nesting deeper than any real
// file has).
std::optional<std::vector<VdfEntry>> ParseVdf(std::string_view text);

// Valve's binary key-value format, as Steam writes a user's non-Steam games to
// userdata/<user id>/config/shortcuts.vdf. Each entry is a type byte, a NUL-terminated key, then
// the value: 0x00 opens a block of further entries, 0x01 a NUL-terminated text, 0x02 a 32-bit
// little-endian integer; 0x08 closes a block, and the file, which may also just end. Integers come
// out as the decimal digits of their unsigned value, the form Steam names folders by. The wider
// numbers Steam uses elsewhere (0x03 float, 0x07 and 0x0A 64-bit) are read and kept the same way,
// as their bytes' unsigned value.
//
// The same entries as ParseVdf gives, or nothing when the bytes are not well formed (cut short,
// an unknown type, nesting deeper than any real file has, anything after the final 0x08).
std::optional<std::vector<VdfEntry>> ParseBinaryVdf(std::string_view bytes);
