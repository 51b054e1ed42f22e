// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/RegistryApi.h"

#include <windows.h>

namespace {

// Root keys are sign-extended handle values (HKEY_LOCAL_MACHINE is (HKEY)(LONG)0x80000002).
HKEY RootHandle(std::uint32_t root) {
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(root)));
}

HKEY KeyHandle(RegHandle key) {
    return reinterpret_cast<HKEY>(key);
}

// The Windows registry through its 8-bit functions. The games are 32-bit programs, so on 64-bit
// Windows their keys live in the 32-bit view: that view is asked first, then the native one.
class Win32Registry final : public RegistryApi {
public:
    std::int32_t openKey(std::uint32_t root, const std::string& subKey, RegHandle& key) override {
        HKEY opened = nullptr;
        LONG result =
            RegOpenKeyExA(RootHandle(root), subKey.c_str(), 0, KEY_READ | KEY_WOW64_32KEY, &opened);
        if (result != ERROR_SUCCESS)
            result = RegOpenKeyExA(RootHandle(root), subKey.c_str(), 0, KEY_READ, &opened);
        if (result == ERROR_SUCCESS)
            key = reinterpret_cast<RegHandle>(opened);
        return static_cast<std::int32_t>(result);
    }

    std::int32_t queryValueInfo(RegHandle key, const std::string& valueName, std::uint32_t& type,
                                std::uint32_t& size) override {
        DWORD foundType = type;
        DWORD foundSize = size;
        const LONG result = RegQueryValueExA(KeyHandle(key), valueName.c_str(), nullptr, &foundType,
                                             nullptr, &foundSize);
        if (result == ERROR_SUCCESS || result == ERROR_MORE_DATA) {
            type = foundType;
            size = foundSize;
        }
        return static_cast<std::int32_t>(result);
    }

    std::int32_t readValueData(RegHandle key, const std::string& valueName, void* buffer,
                               std::uint32_t& size) override {
        DWORD bufferSize = size;
        const LONG result = RegQueryValueExA(KeyHandle(key), valueName.c_str(), nullptr, nullptr,
                                             static_cast<BYTE*>(buffer), &bufferSize);
        size = bufferSize;
        return static_cast<std::int32_t>(result);
    }

    std::int32_t closeKey(RegHandle key) override {
        return static_cast<std::int32_t>(RegCloseKey(KeyHandle(key)));
    }
};

} // namespace

RegistryApi& WindowsRegistry() {
    static Win32Registry registry;
    return registry;
}
