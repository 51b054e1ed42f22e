// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The game keeps a player name as 8-bit text in Windows-1250, the Central European code page.
// These conversions map one byte to one character (UTF-16) and back for all 256 byte values, so a
// name that is loaded and saved unchanged stays byte-identical. The five bytes that Windows-1250
// leaves undefined (81, 83, 88, 90, 98) map to the C1 control characters of the same number, as
// Windows does.

std::u16string Cp1250ToUtf16(std::string_view bytes);

// The bytes of `text`, or nothing when a character has no byte in Windows-1250.
std::optional<std::string> Utf16ToCp1250(std::u16string_view text);

bool FitsCp1250(char16_t character);
