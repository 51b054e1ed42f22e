// SPDX-License-Identifier: GPL-3.0-or-later
#include "gameconfig/Registry.h"

#include "gameconfig/PlatformSeam.h"

#include <string>

std::int32_t LastRegResult = 0;

namespace {

// Type 1: the data read into a buffer of exactly the reported size, preset with spaces, and cut
// at its first NUL.
RegValue ReadStringValue(RegistryApi& registry, RegHandle key, const std::string& valueName,
                         std::uint32_t size) {
    std::string buffer(size, ' ');
    std::uint32_t bufferSize = size;
    LastRegResult = registry.readValueData(key, valueName, buffer.data(), bufferSize);
    if (LastRegResult != RegSuccess)
        return std::string();
    // The first NUL may stand anywhere, however long the value is.
    return buffer.substr(0, buffer.find('\0'));
}

// Type 4: the data read into a 32-bit integer, declaring a buffer of 4 bytes.
RegValue ReadDwordValue(RegistryApi& registry, RegHandle key, const std::string& valueName) {
    std::int32_t number = 0;
    std::uint32_t bufferSize = sizeof number;
    LastRegResult = registry.readValueData(key, valueName, &number, bufferSize);
    if (LastRegResult != RegSuccess)
        return std::string();
    return number;
}

} // namespace

RegValue QueryRegValue(std::uint32_t rootKey, const std::string& keyPath,
                       const std::string& valueName) {
    return LookUpRegValue(rootKey, keyPath, valueName).value;
}

RegValue QueryRegValue(RegistryApi& registry, std::uint32_t rootKey, const std::string& keyPath,
                       const std::string& valueName) {
    return LookUpRegValue(registry, rootKey, keyPath, valueName).value;
}

RegLookup LookUpRegValue(std::uint32_t rootKey, const std::string& keyPath,
                         const std::string& valueName) {
    return LookUpRegValue(PlatformRegistry(), rootKey, keyPath, valueName);
}

RegLookup LookUpRegValue(RegistryApi& registry, std::uint32_t rootKey, const std::string& keyPath,
                         const std::string& valueName) {
    RegHandle key = 0;
    std::uint32_t type = RegTypeNone;
    std::uint32_t size = 0;

    LastRegResult = registry.openKey(rootKey, keyPath, key);
    if (key == 0)
        return {std::string(), {}};

    // The size query's code is kept but not tested: a missing value reports no type, so the
    // preset REG_NONE stands and the result is empty.
    LastRegResult = registry.queryValueInfo(key, valueName, type, size);
    RegLookup found{std::string(), {}};
    if (type == RegTypeSz)
        found.value = ReadStringValue(registry, key, valueName, size);
    else if (type == RegTypeDword)
        found.value = ReadDwordValue(registry, key, valueName);
    const bool read = (type == RegTypeSz || type == RegTypeDword) && LastRegResult == RegSuccess;
    if (read)
        found.origin = registry.valueOrigin(key, valueName);

    LastRegResult = registry.closeKey(key);
    return found;
}

std::string RegValueText(const RegValue& value) {
    if (const auto* text = std::get_if<std::string>(&value))
        return *text;
    return std::to_string(std::get<std::int32_t>(value));
}
