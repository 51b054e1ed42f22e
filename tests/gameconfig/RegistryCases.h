// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/RegistryApi.h"

#include <cstdint>
#include <string_view>
#include <variant>
#include <vector>

// Registry values that make_registry_prefix.sh stores with Wine's own `reg add`, and what a
// lookup of each must give. Every registry backend is held to this one table, so that the
// backends agree with the registry Wine really keeps rather than with our reading of it.
//
// Texts are Unicode. Each backend hands out 8-bit text in its own code page (the ANSI code page
// on Windows, UTF-8 for a Wine prefix), so names are encoded and results decoded with that code
// page, and a string value's size is that of its data in that code page.
//
// What the script stores, below HKEY_LOCAL_MACHINE\Software\Tintwell Tests ("32" is the 32-bit
// view where the games' installers write, Software\Wow6432Node on 64-bit Windows):
//
//   Game        32      InstallPath "C:\Games\Call of Duty"     Slash  "C:\Games\Call of Duty\"
//                       Umlaut "C:\Spiele\Größe Über"           Empty  ""
//                       Flags  REG_DWORD 0x80000001             Expand REG_EXPAND_SZ
//                       Multi  REG_MULTI_SZ one, two            Bytes  REG_BINARY 01 02 ff
//                       Ärger  "ä"
//   Both        32      InstallPath "thirty-two"
//               native  InstallPath "sixty-four"
//   NativeOnly  native  InstallPath "native"
//   Split       32      Other "x"
//               native  InstallPath "native"

struct RegistryCase {
    const char* label;
    std::u32string_view keyPath;   // as the lookup asks for it, below HKEY_LOCAL_MACHINE
    std::u32string_view valueName; // likewise; the letter case may differ from the stored one
    std::int32_t openResult = RegSuccess;
    std::int32_t infoResult = RegSuccess; // of the size query, when the key opens
    std::uint32_t type = RegTypeNone;     // as the size query reports it
    // The data as stored: text (string types, every NUL included) or bytes (other types).
    std::variant<std::u32string_view, std::string_view> data = std::string_view();
    // What the lookup gives: text (empty for every failure) or a double word.
    std::variant<std::u32string_view, std::int32_t> result = std::u32string_view();
};

inline const std::vector<RegistryCase>& RegistryCases() {
    using namespace std::literals;
    static const std::vector<RegistryCase> cases = {
        {.label = "Plain",
         .keyPath = U"Software\\Tintwell Tests\\Game",
         .valueName = U"InstallPath",
         .type = RegTypeSz,
         .data = U"C:\\Games\\Call of Duty\0"sv,
         .result = U"C:\\Games\\Call of Duty"sv},
        {.label = "TrailingBackslash",
         .keyPath = U"Software\\Tintwell Tests\\Game",
         .valueName = U"Slash",
         .type = RegTypeSz,
         .data = U"C:\\Games\\Call of Duty\\\0"sv,
         .result = U"C:\\Games\\Call of Duty\\"sv},
        {.label = "NonAscii",
         .keyPath = U"Software\\Tintwell Tests\\Game",
         .valueName = U"Umlaut",
         .type = RegTypeSz,
         .data = U"C:\\Spiele\\Größe Über\0"sv,
         .result = U"C:\\Spiele\\Größe Über"sv},
        {.label = "EmptyString",
         .keyPath = U"Software\\Tintwell Tests\\Game",
         .valueName = U"Empty",
         .type = RegTypeSz,
         .data = U"\0"sv},
        {.label = "DwordWithTopBit",
         .keyPath = U"Software\\Tintwell Tests\\Game",
         .valueName = U"Flags",
         .type = RegTypeDword,
         .data = "\x01\x00\x00\x80"sv,
         .result = std::int32_t{-2147483647}},
        {.label = "ExpandableString",
         .keyPath = U"Software\\Tintwell Tests\\Game",
         .valueName = U"Expand",
         .type = RegTypeExpandSz,
         .data = U"%SystemRoot%\\Games\0"sv},
        {.label = "MultiString",
         .keyPath = U"Software\\Tintwell Tests\\Game",
         .valueName = U"Multi",
         .type = RegTypeMultiSz,
         .data = U"one\0two\0\0"sv},
        {.label = "Bytes",
         .keyPath = U"Software\\Tintwell Tests\\Game",
         .valueName = U"Bytes",
         .type = RegTypeBinary,
         .data = "\x01\x02\xff"sv},
        {.label = "MissingValue",
         .keyPath = U"Software\\Tintwell Tests\\Game",
         .valueName = U"Nothing",
         .infoResult = RegFileNotFound},
        {.label = "MissingKey",
         .keyPath = U"Software\\Tintwell Tests\\Nowhere",
         .valueName = U"InstallPath",
         .openResult = RegFileNotFound},
        {.label = "OtherLetterCase",
         .keyPath = U"SOFTWARE\\tintwell TESTS\\game",
         .valueName = U"INSTALLPATH",
         .type = RegTypeSz,
         .data = U"C:\\Games\\Call of Duty\0"sv,
         .result = U"C:\\Games\\Call of Duty"sv},
        {.label = "NonAsciiNameInOtherCase",
         .keyPath = U"Software\\Tintwell Tests\\Game",
         .valueName = U"äRGER",
         .type = RegTypeSz,
         .data = U"ä\0"sv,
         .result = U"ä"sv},
        {.label = "The32BitViewFirst",
         .keyPath = U"Software\\Tintwell Tests\\Both",
         .valueName = U"InstallPath",
         .type = RegTypeSz,
         .data = U"thirty-two\0"sv,
         .result = U"thirty-two"sv},
        {.label = "ThenTheNativeView",
         .keyPath = U"Software\\Tintwell Tests\\NativeOnly",
         .valueName = U"InstallPath",
         .type = RegTypeSz,
         .data = U"native\0"sv,
         .result = U"native"sv},
        {.label = "The32BitKeyWinsEvenWithoutTheValue",
         .keyPath = U"Software\\Tintwell Tests\\Split",
         .valueName = U"InstallPath",
         .infoResult = RegFileNotFound},
    };
    return cases;
}
