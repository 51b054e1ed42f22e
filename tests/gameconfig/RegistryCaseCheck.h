// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "RegistryCases.h"
#include "platform/RegistryApi.h"

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

// A backend's 8-bit text: how Unicode becomes it and back.
struct CodePage {
    std::string name;
    // nullopt when the code page cannot hold the text.
    std::function<std::optional<std::string>(std::u16string_view)> encode;
    std::function<std::u16string(std::string_view)> decode;
};

// Holds `registry` to one case of the table: what QueryRegValue gives and leaves in
// LastRegResult, and what the four operations report (result codes, type, size and data).
void CheckRegistryCase(RegistryApi& registry, const CodePage& codePage, const RegistryCase& c);

// For parameterized tests: names a case by its label.
inline void PrintTo(const RegistryCase& c, std::ostream* out) {
    *out << c.label;
}
