// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/UnicodeText.h"

namespace {

bool IsSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDFFF;
}

void AppendUtf8(std::string& text, char32_t codePoint) {
    const auto byte = [&text](char32_t bits) { text += static_cast<char>(bits); };
    if (codePoint < 0x80) {
        byte(codePoint);
    } else if (codePoint < 0x800) {
        byte(0xC0 | (codePoint >> 6));
        byte(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        byte(0xE0 | (codePoint >> 12));
        byte(0x80 | ((codePoint >> 6) & 0x3F));
        byte(0x80 | (codePoint & 0x3F));
    } else {
        byte(0xF0 | (codePoint >> 18));
        byte(0x80 | ((codePoint >> 12) & 0x3F));
        byte(0x80 | ((codePoint >> 6) & 0x3F));
        byte(0x80 | (codePoint & 0x3F));
    }
}

// In blocks where capital and small letters alternate, the capital is the one of the pair that
// stands on the even (or the odd) code point.
char32_t CapitalOfPair(char32_t codePoint, bool capitalIsEven) {
    const bool isEven = codePoint % 2 == 0;
    return isEven == capitalIsEven ? codePoint : codePoint - 1;
}

char32_t FoldLatin1(char32_t c) {
    if (c == 0xB5) // micro sign
        return 0x39C;
    if (c == 0xFF) // y with diaeresis
        return 0x178;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
        return c - 0x20;
    return c;
}

char32_t FoldLatinExtendedA(char32_t c) {
    if (c == 0x131) // dotless i
        return U'I';
    if (c == 0x17F) // long s
        return U'S';
    if (c <= 0x137 || (c >= 0x14A && c <= 0x177))
        return CapitalOfPair(c, true);
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E))
        return CapitalOfPair(c, false);
    return c;
}

char32_t FoldGreek(char32_t c) {
    switch (c) {
    case 0x3AC:
        return 0x386;
    case 0x3C2:
        return 0x3A3; // final sigma
    case 0x3CC:
        return 0x38C;
    case 0x3D0:
        return 0x392;
    case 0x3D1:
        return 0x398;
    case 0x3D5:
        return 0x3A6;
    case 0x3D6:
        return 0x3A0;
    case 0x3D7:
        return 0x3CF;
    case 0x3F0:
        return 0x39A;
    case 0x3F1:
        return 0x3A1;
    case 0x3F2:
        return 0x3F9;
    case 0x3F3:
        return 0x37F;
    case 0x3F5:
        return 0x395;
    case 0x3F8:
        return 0x3F7;
    case 0x3FB:
        return 0x3FA;
    default:
        break;
    }
    if (c == 0x371 || c == 0x373 || c == 0x377)
        return c - 1;
    if (c >= 0x37B && c <= 0x37D)
        return c + 0x82;
    if (c >= 0x3AD && c <= 0x3AF)
        return c - 0x25;
    if (c >= 0x3B1 && c <= 0x3CB)
        return c - 0x20;
    if (c >= 0x3CD && c <= 0x3CE)
        return c - 0x3F;
    if (c >= 0x3D8 && c <= 0x3EF)
        return CapitalOfPair(c, true);
    return c;
}

char32_t FoldCyrillic(char32_t c) {
    if (c >= 0x430 && c <= 0x44F)
        return c - 0x20;
    if (c >= 0x450 && c <= 0x45F)
        return c - 0x50;
    if (c == 0x4CF)
        return 0x4C0;
    if ((c >= 0x460 && c <= 0x481) || (c >= 0x48A && c <= 0x4BF) || (c >= 0x4D0 && c <= 0x52F))
        return CapitalOfPair(c, true);
    if (c >= 0x4C1 && c <= 0x4CE)
        return CapitalOfPair(c, false);
    return c;
}

} // namespace

DecodedCharacter DecodeUtf8(std::string_view utf8) {
    const auto byteAt = [utf8](std::size_t i) { return static_cast<unsigned char>(utf8[i]); };
    const unsigned char lead = byteAt(0);
    if (lead < 0x80)
        return {lead, 1};

    std::size_t length = 0;
    char32_t codePoint = 0;
    char32_t smallest = 0; // anything below has a shorter form, which is the only valid one
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, codePoint = lead & 0x1F, smallest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, codePoint = lead & 0x0F, smallest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, codePoint = lead & 0x07, smallest = 0x10000;
    } else {
        return {ReplacementCharacter, 1};
    }
    if (utf8.size() < length)
        return {ReplacementCharacter, 1};
    for (std::size_t i = 1; i < length; ++i) {
        if ((byteAt(i) & 0xC0) != 0x80)
            return {ReplacementCharacter, 1};
        codePoint = (codePoint << 6) | (byteAt(i) & 0x3F);
    }
    if (codePoint < smallest || codePoint > 0x10FFFF || IsSurrogate(codePoint))
        return {ReplacementCharacter, 1};
    return {codePoint, length};
}

void AppendUtf16(std::u16string& text, char32_t codePoint) {
    if (codePoint < 0x10000) {
        text += static_cast<char16_t>(codePoint);
        return;
    }
    codePoint -= 0x10000;
    text += static_cast<char16_t>(0xD800 + (codePoint >> 10));
    text += static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF));
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
    std::u16string utf16;
    while (!utf8.empty()) {
        const DecodedCharacter decoded = DecodeUtf8(utf8);
        AppendUtf16(utf16, decoded.codePoint);
        utf8.remove_prefix(decoded.length);
    }
    return utf16;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
    std::string utf8;
    ForEachCodePoint(utf16, [&utf8](char32_t codePoint) {
        AppendUtf8(utf8, IsSurrogate(codePoint) ? ReplacementCharacter : codePoint);
        return true;
    });
    return utf8;
}

std::u16string Utf16FromLittleEndian(std::string_view bytes) {
    std::u16string utf16;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto low = static_cast<unsigned char>(bytes[i]);
        const auto high = static_cast<unsigned char>(bytes[i + 1]);
        utf16 += static_cast<char16_t>(low | (high << 8));
    }
    return utf16;
}

std::string Utf16ToLittleEndian(std::u16string_view utf16) {
    std::string bytes;
    for (const char16_t unit : utf16) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

char32_t FoldCase(char32_t c) {
    if (c < 0x80)
        return c >= U'a' && c <= U'z' ? c - 0x20 : c;
    if (c < 0x100)
        return FoldLatin1(c);
    if (c < 0x180)
        return FoldLatinExtendedA(c);
    if (c >= 0x370 && c < 0x400)
        return FoldGreek(c);
    if (c >= 0x400 && c < 0x530)
        return FoldCyrillic(c);
    return c;
}

std::u32string FoldedCodePoints(std::u16string_view utf16) {
    std::u32string folded;
    ForEachCodePoint(utf16, [&folded](char32_t codePoint) {
        folded += FoldCase(codePoint);
        return true;
    });
    return folded;
}
