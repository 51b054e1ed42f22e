// SPDX-License-Identifier: GPL-3.0-or-later
// The reader of Steam's binary key-value files over any input: the input is the whole of a user's
// shortcuts.vdf. Whatever the input, nothing crashes, hangs or reads out of bounds; a key or a
// text holds no NUL (a NUL ends it); and every app id found is the decimal digits of a 32-bit
// number, the name of a folder in compatdata.

#include "FuzzCheck.h"
#include "wine/SteamLibraries.h"
#include "wine/Vdf.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

void CheckEntries(const std::vector<VdfEntry>& entries) {
    for (const VdfEntry& entry : entries) {
        FUZZ_CHECK(entry.key.find('\0') == std::string::npos);
        FUZZ_CHECK(entry.value.find('\0') == std::string::npos);
        FUZZ_CHECK(entry.isBlock || entry.children.empty());
        CheckEntries(entry.children);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (const auto entries = ParseBinaryVdf(bytes))
        CheckEntries(*entries);
    for (const std::string& appId : ShortcutAppIdsIn(bytes)) {
        FUZZ_CHECK(!appId.empty() && appId.size() <= 20);
        FUZZ_CHECK(appId.find_first_not_of("0123456789") == std::string::npos);
    }
    return 0;
}
