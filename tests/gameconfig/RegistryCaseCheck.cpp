// SPDX-License-Identifier: GPL-3.0-or-later
#include "RegistryCaseCheck.h"

#include "gameconfig/Registry.h"
#include "platform/UnicodeText.h"

#include <gtest/gtest.h>

namespace {

std::u16string Utf16(std::u32string_view text) {
    std::u16string utf16;
    for (const char32_t codePoint : text)
        AppendUtf16(utf16, codePoint);
    return utf16;
}

// The text in the backend's code page; fails the test when the code page cannot hold it.
std::string Encoded(const CodePage& codePage, std::u32string_view text) {
    std::optional<std::string> encoded = codePage.encode(Utf16(text));
    EXPECT_TRUE(encoded.has_value())
        << "the code page " << codePage.name << " cannot hold this case's text";
    return encoded.value_or("");
}

// The data as the backend's 8-bit functions hand it out.
std::string DataAsSeen(const CodePage& codePage, const RegistryCase& c) {
    if (const auto* text = std::get_if<std::u32string_view>(&c.data))
        return Encoded(codePage, *text);
    return std::string(std::get<std::string_view>(c.data));
}

void CheckLookup(RegistryApi& registry, const CodePage& codePage, const RegistryCase& c,
                 const std::string& keyPath, const std::string& valueName) {
    LastRegResult = -1;
    const RegValue value = QueryRegValue(registry, RootKeyLocalMachine, keyPath, valueName);
    if (const auto* number = std::get_if<std::int32_t>(&c.result)) {
        EXPECT_EQ(value, RegValue(*number));
    } else {
        const auto* text = std::get_if<std::string>(&value);
        ASSERT_NE(text, nullptr) << "a double word where text was expected";
        EXPECT_EQ(codePage.decode(*text), Utf16(std::get<std::u32string_view>(c.result)));
    }
    // A lookup that opened the key ends with the close's code.
    EXPECT_EQ(LastRegResult, c.openResult);
}

void CheckOperations(RegistryApi& registry, const CodePage& codePage, const RegistryCase& c,
                     const std::string& keyPath, const std::string& valueName) {
    RegHandle key = 0;
    ASSERT_EQ(registry.openKey(RootKeyLocalMachine, keyPath, key), c.openResult);
    if (c.openResult != RegSuccess) {
        EXPECT_EQ(key, RegHandle{0});
        return;
    }
    ASSERT_NE(key, RegHandle{0});

    const std::string expectedData = DataAsSeen(codePage, c);
    std::uint32_t type = RegTypeNone;
    std::uint32_t size = 0;
    EXPECT_EQ(registry.queryValueInfo(key, valueName, type, size), c.infoResult);
    EXPECT_EQ(type, c.type);
    EXPECT_EQ(size, expectedData.size());

    if (c.infoResult == RegSuccess) {
        std::string data(expectedData.size(), '\x7f');
        std::uint32_t bufferSize = static_cast<std::uint32_t>(data.size());
        EXPECT_EQ(registry.readValueData(key, valueName, data.data(), bufferSize), RegSuccess);
        EXPECT_EQ(bufferSize, expectedData.size());
        EXPECT_EQ(data, expectedData);
    }
    EXPECT_EQ(registry.closeKey(key), RegSuccess);
}

} // namespace

void CheckRegistryCase(RegistryApi& registry, const CodePage& codePage, const RegistryCase& c) {
    const std::string keyPath = Encoded(codePage, c.keyPath);
    const std::string valueName = Encoded(codePage, c.valueName);
    {
        SCOPED_TRACE("QueryRegValue");
        CheckLookup(registry, codePage, c, keyPath, valueName);
    }
    {
        SCOPED_TRACE("the four operations");
        CheckOperations(registry, codePage, c, keyPath, valueName);
    }
}
