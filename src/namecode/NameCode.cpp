// SPDX-License-Identifier: GPL-3.0-or-later
#include "namecode/NameCode.h"

namespace {

constexpr char Caret = '^';
constexpr std::uint8_t FirstCharMarker = 99; // equals no colour, so character 1 always gets a code

// The colour a code selects: its one character read as a decimal digit, anything else 0.
std::uint8_t CodeColor(std::string_view coded, std::size_t caretIndex) {
    if (caretIndex + 1 >= coded.size())
        return 0;
    const char c = coded[caretIndex + 1];
    return (c >= '0' && c <= '9') ? static_cast<std::uint8_t>(c - '0') : 0;
}

} // namespace

std::string DecodeName(std::string_view coded, NameColorTable& colors) {
    std::uint8_t current = DefaultColor;
    std::size_t outputSlot = 1;
    std::string visible;
    for (std::size_t i = 0; i < coded.size(); ++i) {
        // Stored on every step, codes included: a trailing code leaves the colour that was in
        // force in the slot after the last character.
        if (outputSlot <= MaxNameLength)
            colors[outputSlot] = current;
        if (coded[i] != Caret) {
            visible += coded[i];
            ++outputSlot;
        } else {
            current = CodeColor(coded, i);
            ++i; // the colour character is consumed, never shown
        }
    }
    return visible;
}

std::string EncodeTag(std::string_view visible, int length, NameColorTable& colors) {
    colors[0] = FirstCharMarker;
    std::string tag;
    for (int i = 1; i <= length && i <= MaxNameLength; ++i) {
        if (colors[i] != colors[i - 1]) {
            tag += Caret;
            tag += colors[i] <= 9 ? std::string(1, static_cast<char>('0' + colors[i]))
                                  : std::to_string(colors[i]);
        }
        if (static_cast<std::size_t>(i) <= visible.size())
            tag += visible[i - 1];
    }
    return tag;
}
