// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Conversions between the encodings the registry lookup meets: UTF-8 (the host's 8-bit text and
// raw text in Wine's registry files), UTF-16 (what the registry stores) and code points (what
// names are compared on).

inline constexpr char32_t ReplacementCharacter = 0xFFFD;

struct DecodedCharacter {
    char32_t codePoint;
    std::size_t length; // bytes taken, at least 1
};

// Decodes the UTF-8 sequence at the start of `utf8` (which must not be empty). A byte that does
// not begin a valid sequence decodes to U+FFFD and takes one byte.
DecodedCharacter DecodeUtf8(std::string_view utf8);

// Appends the code point as one UTF-16 unit, or as a surrogate pair above U+FFFF.
void AppendUtf16(std::u16string& text, char32_t codePoint);

std::u16string Utf8ToUtf16(std::string_view utf8);

// As Windows converts to UTF-8: every unit counts, NULs included, and a surrogate without its
// partner becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view utf16);

// UTF-16LE bytes to units; a last odd byte is no whole unit and is dropped.
std::u16string Utf16FromLittleEndian(std::string_view bytes);
std::string Utf16ToLittleEndian(std::u16string_view utf16);

// Calls `visit` with each code point of `utf16`, a surrogate pair joined into one, a surrogate
// without its partner on its own, until `visit` returns false.
template <class Visit> void ForEachCodePoint(std::u16string_view utf16, Visit visit) {
    const auto isHigh = [](char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; };
    const auto isLow = [](char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; };
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        char32_t codePoint = utf16[i];
        if (isHigh(codePoint) && i + 1 < utf16.size() && isLow(utf16[i + 1])) {
            codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (char32_t{utf16[i + 1]} - 0xDC00);
            ++i;
        }
        if (!visit(codePoint))
            return;
    }
}

// The upper-case partner of a letter (simple case mapping for ASCII, Latin-1, Latin
// Extended-A, Greek and Cyrillic), or the code point itself. Registry names compare equal when
// their code points do after this mapping.
char32_t FoldCase(char32_t codePoint);

// The code points of `utf16` (surrogate pairs joined), each passed through FoldCase.
std::u32string FoldedCodePoints(std::u16string_view utf16);
