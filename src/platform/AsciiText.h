// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <string_view>

// Letters, case and path separators as Windows paths, Wine's folders and Steam's files see them.
// Only ASCII letters are folded: Wine finds a file whose name differs only in the case of ASCII
// letters, and Steam's keys compare the same way; every other byte, UTF-8 sequences included,
// must match exactly. (Registry names fold more; see FoldCase in UnicodeText.h.)

inline bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Blanks and line ends as C's isspace sees them in the "C" locale, whatever the locale is.
inline bool IsAsciiSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

inline char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

inline bool SameIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return AsciiLower(x) == AsciiLower(y);
           });
}

// Whether `needle` stands anywhere in `text`, ASCII letters compared without regard to case and
// every other byte exactly. Made for passing over megabytes: start positions are tested in
// blocks, with no branch for each.
bool ContainsIgnoringAsciiCase(std::string_view text, std::string_view needle);

// Windows accepts both slashes as separators. Taking '/' as one also keeps a path component
// from reaching past its folder on the host.
inline bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}
