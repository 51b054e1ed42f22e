// SPDX-License-Identifier: GPL-3.0-or-later
// The Windows registry backend, run under Wine against the values make_registry_prefix.sh put
// into the test prefix with Wine's own `reg add`.

#include "RegistryCaseCheck.h"
#include "gameconfig/PlatformSeam.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <windows.h>

namespace {

// Text in the ANSI code page, the 8-bit text of the registry's 8-bit functions; nullopt when the
// code page cannot hold it.
std::optional<std::string> ToAnsi(std::u16string_view text) {
    if (text.empty())
        return std::string();
    // UTF-8 takes neither the flag nor the question whether a default character was used.
    const bool isUtf8 = GetACP() == CP_UTF8;
    const DWORD flags = isUtf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL lossy = FALSE;
    BOOL* lossyOut = isUtf8 ? nullptr : &lossy;
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int length = static_cast<int>(text.size());
    const int bytes =
        WideCharToMultiByte(CP_ACP, flags, wide, length, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return std::nullopt;
    std::string encoded(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, flags, wide, length, encoded.data(), bytes, nullptr, lossyOut);
    if (lossy)
        return std::nullopt;
    return encoded;
}

std::u16string FromAnsi(std::string_view bytes) {
    if (bytes.empty())
        return std::u16string();
    const int length = static_cast<int>(bytes.size());
    const int units = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
    std::u16string decoded(static_cast<std::size_t>(std::max(units, 0)), u'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, reinterpret_cast<wchar_t*>(decoded.data()),
                        units);
    return decoded;
}

CodePage AnsiCodePage() {
    return CodePage{"ANSI code page " + std::to_string(GetACP()), ToAnsi, FromAnsi};
}

class WindowsRegistryCases : public testing::TestWithParam<RegistryCase> {};

TEST_P(WindowsRegistryCases, AgreeWithTheTable) {
    CheckRegistryCase(PlatformRegistry(), AnsiCodePage(), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Table, WindowsRegistryCases, testing::ValuesIn(RegistryCases()),
                         [](const testing::TestParamInfo<RegistryCase>& info) {
                             return info.param.label;
                         });

} // namespace
