// SPDX-License-Identifier: GPL-3.0-or-later
// The Wine-prefix registry backend, reading the system.reg that Wine itself wrote when
// make_registry_prefix.sh stored the table's values with `wine reg add`.

#include "RegistryCaseCheck.h"
#include "platform/UnicodeText.h"
#include "wine/WineRegistry.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

// The prefix the fixture made; ctest names it in the environment.
std::filesystem::path CasesPrefix() {
    const char* prefix = std::getenv("TINTWELL_REGISTRY_CASES_PREFIX");
    return prefix ? prefix : "";
}

// UTF-8, the 8-bit text of the Wine-prefix backend.
CodePage Utf8() {
    return CodePage{
        "UTF-8",
        [](std::u16string_view text) -> std::optional<std::string> { return Utf16ToUtf8(text); },
        [](std::string_view bytes) { return Utf8ToUtf16(bytes); }};
}

class WinePrefixRegistryCases : public testing::TestWithParam<RegistryCase> {
protected:
    void SetUp() override {
        ASSERT_FALSE(CasesPrefix().empty())
            << "TINTWELL_REGISTRY_CASES_PREFIX is not set: run this test through ctest, whose "
               "fixture makes the prefix";
        ASSERT_TRUE(std::filesystem::is_regular_file(CasesPrefix() / "system.reg"))
            << CasesPrefix();
    }
};

TEST_P(WinePrefixRegistryCases, AgreeWithTheTable) {
    WineRegistry registry(CasesPrefix());
    CheckRegistryCase(registry, Utf8(), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Table, WinePrefixRegistryCases, testing::ValuesIn(RegistryCases()),
                         [](const testing::TestParamInfo<RegistryCase>& info) {
                             return info.param.label;
                         });

} // namespace
