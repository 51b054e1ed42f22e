// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

// The four registry operations the install-path lookup needs, with the Windows registry's
// result codes. Implemented by the Windows registry itself (below) and by the registry files of
// Wine prefixes (wine/WineRegistry.h). Texts cross this boundary as 8-bit text in the host's code
// page (the ANSI code page on Windows, UTF-8 elsewhere).

using RegHandle = std::uintptr_t; // 0: no key

inline constexpr std::uint32_t RootKeyLocalMachine = 0x80000002u; // HKEY_LOCAL_MACHINE

inline constexpr std::uint32_t RegTypeNone = 0;
inline constexpr std::uint32_t RegTypeSz = 1;
inline constexpr std::uint32_t RegTypeExpandSz = 2;
inline constexpr std::uint32_t RegTypeBinary = 3;
inline constexpr std::uint32_t RegTypeDword = 4;
inline constexpr std::uint32_t RegTypeMultiSz = 7;

inline constexpr std::int32_t RegSuccess = 0;       // ERROR_SUCCESS
inline constexpr std::int32_t RegFileNotFound = 2;  // ERROR_FILE_NOT_FOUND
inline constexpr std::int32_t RegInvalidHandle = 6; // ERROR_INVALID_HANDLE
inline constexpr std::int32_t RegMoreData = 234;    // ERROR_MORE_DATA

class RegistryApi {
public:
    virtual ~RegistryApi() = default;

    // Opens `subKey` (backslash-separated, no leading backslash) below `root`. On success `key`
    // is a handle other than 0; on failure it is left alone.
    virtual std::int32_t openKey(std::uint32_t root, const std::string& subKey, RegHandle& key) = 0;

    // Reports the value's type and data size in bytes without reading it. For a missing value
    // returns RegFileNotFound and leaves `type` and `size` alone.
    virtual std::int32_t queryValueInfo(RegHandle key, const std::string& valueName,
                                        std::uint32_t& type, std::uint32_t& size) = 0;

    // Reads the data into `buffer`, which holds `size` bytes; `size` becomes the data's size.
    // Data larger than the buffer gives RegMoreData.
    virtual std::int32_t readValueData(RegHandle key, const std::string& valueName, void* buffer,
                                       std::uint32_t& size) = 0;

    virtual std::int32_t closeKey(RegHandle key) = 0;

    // Where the value at an open key is kept, for the paths it holds: the folder of the Wine
    // prefix whose registry holds it; empty for the host's own registry, whose paths are host
    // paths.
    virtual std::string valueOrigin(RegHandle /*key*/, const std::string& /*valueName*/) {
        return {};
    }
};

// The Windows registry through its 8-bit functions (Windows builds only).
RegistryApi& WindowsRegistry();
