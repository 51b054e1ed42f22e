// SPDX-License-Identifier: GPL-3.0-or-later
#include "wine/WineRegistry.h"

#include "platform/AsciiText.h"
#include "platform/UnicodeText.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <optional>
#include <utility>
#include <vector>

namespace {

// Handle values are unique among all WineRegistry objects, so that a handle given to another
// object is never taken for one of this object's keys.
RegHandle NewHandle() {
    static RegHandle last = 0x1000;
    last += 4;
    return last;
}

// The paths a 32-bit program's "subKey" may live at, in the order they are tried.
std::vector<std::string> ViewsOf(const std::string& subKey) {
    const std::size_t separator = subKey.find('\\');
    const std::string_view first = std::string_view(subKey).substr(0, separator);
    const std::string rest = separator == std::string::npos ? "" : subKey.substr(separator + 1);
    const std::string_view second = std::string_view(rest).substr(0, rest.find('\\'));
    if (!SameIgnoringAsciiCase(first, "Software") || SameIgnoringAsciiCase(second, "Wow6432Node"))
        return {subKey};
    std::string redirected = std::string(first) + "\\Wow6432Node";
    if (!rest.empty())
        redirected += "\\" + rest;
    return {redirected, subKey};
}

bool IsStringType(std::uint32_t type) {
    return type == RegTypeSz || type == RegTypeExpandSz || type == RegTypeMultiSz;
}

// The data as the 8-bit functions hand it out.
std::string DataAsSeen(const WineRegValue& value) {
    if (IsStringType(value.type))
        return Utf16ToUtf8(Utf16FromLittleEndian(value.data));
    return value.data;
}

std::uint32_t SizeOf(const std::string& data) {
    constexpr std::size_t largest = std::numeric_limits<std::uint32_t>::max();
    return static_cast<std::uint32_t>(std::min(data.size(), largest));
}

} // namespace

WineRegistry::WineRegistry(std::filesystem::path prefixDir, std::shared_ptr<WineRegFileCache> cache)
    : m_prefixDir(std::move(prefixDir)), m_cache(std::move(cache)) {}

std::int32_t WineRegistry::openKey(std::uint32_t root, const std::string& subKey, RegHandle& key) {
    if (root != RootKeyLocalMachine)
        return RegFileNotFound;
    for (std::optional<WineRegKey>& found :
         m_cache->keysAt(m_prefixDir / "system.reg", ViewsOf(subKey))) {
        if (found) {
            key = NewHandle();
            m_openKeys.emplace(key, std::move(*found));
            return RegSuccess;
        }
    }
    return RegFileNotFound;
}

const WineRegValue* WineRegistry::findValue(RegHandle key, const std::string& valueName,
                                            std::int32_t& error) const {
    const auto open = m_openKeys.find(key);
    if (open == m_openKeys.end()) {
        error = RegInvalidHandle;
        return nullptr;
    }
    const WineRegValue* value = open->second.find(valueName);
    if (!value)
        error = RegFileNotFound;
    return value;
}

std::int32_t WineRegistry::queryValueInfo(RegHandle key, const std::string& valueName,
                                          std::uint32_t& type, std::uint32_t& size) {
    std::int32_t error = RegSuccess;
    const WineRegValue* value = findValue(key, valueName, error);
    if (!value)
        return error;
    type = value->type;
    size = SizeOf(DataAsSeen(*value));
    return RegSuccess;
}

std::int32_t WineRegistry::readValueData(RegHandle key, const std::string& valueName, void* buffer,
                                         std::uint32_t& size) {
    std::int32_t error = RegSuccess;
    const WineRegValue* value = findValue(key, valueName, error);
    if (!value)
        return error;
    const std::string data = DataAsSeen(*value);
    const std::uint32_t bufferSize = size;
    size = SizeOf(data);
    if (!buffer)
        return RegSuccess;
    if (data.size() > bufferSize)
        return RegMoreData;
    std::memcpy(buffer, data.data(), data.size());
    return RegSuccess;
}

std::int32_t WineRegistry::closeKey(RegHandle key) {
    return m_openKeys.erase(key) == 1 ? RegSuccess : RegInvalidHandle;
}

std::string WineRegistry::valueOrigin(RegHandle, const std::string&) {
    return m_prefixDir.string();
}
