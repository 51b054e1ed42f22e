// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/RegistryApi.h"

#include <cstdint>
#include <string>
#include <variant>

// A registry value as the lookup gives it: text for a string value, the integer of a double-word
// value; the empty text stands for every failure.
using RegValue = std::variant<std::string, std::int32_t>;

// The result code of the most recent registry call the lookup made (0 for success).
extern std::int32_t LastRegResult;

// Reads one value; never fails outwardly, shows nothing, and closes every key it opened.
RegValue QueryRegValue(std::uint32_t rootKey, const std::string& keyPath,
                       const std::string& valueName);
RegValue QueryRegValue(RegistryApi& registry, std::uint32_t rootKey, const std::string& keyPath,
                       const std::string& valueName);

// A value with where it was found (RegistryApi::valueOrigin): the Wine prefix whose registry
// holds it, or empty for the host's own registry and for every failure. Paths the value holds
// are host paths through that origin (HostPathFor).
struct RegLookup {
    RegValue value;
    std::string origin;
};

// QueryRegValue, call for call, keeping the value's origin.
RegLookup LookUpRegValue(std::uint32_t rootKey, const std::string& keyPath,
                         const std::string& valueName);
RegLookup LookUpRegValue(RegistryApi& registry, std::uint32_t rootKey, const std::string& keyPath,
                         const std::string& valueName);

// The value as text: a string as it is, an integer in decimal with a minus sign when negative.
std::string RegValueText(const RegValue& value);
