// SPDX-License-Identifier: GPL-3.0-or-later
// The reader of Wine's registry files over any input: the input is the whole of a system.reg. It
// is searched in memory for the keys the program asks for (and for the first key the input names
// itself), and read from disk through the install-path lookup the program makes. Whatever the
// input, nothing crashes, hangs or reads out of bounds, and a text value comes out as valid UTF-8
// without a NUL.

#include "FuzzCheck.h"
#include "gameconfig/Registry.h"
#include "wine/WineRegFile.h"
#include "wine/WineRegistry.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::vector<std::string> KnownKeys = {
    "Software\\Activision\\Call of Duty",
    "Software\\Activision\\Call of Duty United Offensive",
    "Software\\Activision\\Call of Duty\\Tintwell [Test]\\Sub\\Deeper",
    "System\\CurrentControlSet\\Control\\Session Manager\\Environment",
    "",
};

const std::vector<std::string> KnownNames = {
    "InstallPath", "", "Version", "Language", "Patches", "Blob", "Name \"with\" \\ escapes", "PATH",
};

// Strictly valid UTF-8: shortest forms only, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view text) {
    const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned char lead = byte(i);
        std::size_t length = 1;
        unsigned char low = 0x80, high = 0xBF; // the range of the byte after the lead
        if (lead < 0x80) {
            ++i;
            continue;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (i + length > text.size() || byte(i + 1) < low || byte(i + 1) > high)
            return false;
        for (std::size_t k = 2; k < length; ++k) {
            if ((byte(i + k) & 0xC0) != 0x80)
                return false;
        }
        i += length;
    }
    return true;
}

std::string AsciiUpper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

// Text between the first opening bracket and the next closing one: the input's own first key,
// escapes and all (doubled backslashes are empty path components, which lookups skip).
std::string FirstKeyNamedIn(std::string_view text) {
    const std::size_t open = text.find('[');
    if (open == std::string_view::npos)
        return {};
    const std::size_t close = text.find(']', open);
    const std::size_t end = close == std::string_view::npos ? text.size() : close;
    return std::string(text.substr(open + 1, std::min<std::size_t>(end - open - 1, 200)));
}

// The name of the first `"name"=` in the input, unescaped no further.
std::string FirstValueNamedIn(std::string_view text) {
    const std::size_t equals = text.find("\"=");
    if (equals == std::string_view::npos)
        return {};
    const std::size_t open = text.rfind('"', equals == 0 ? 0 : equals - 1);
    if (open == std::string_view::npos || open >= equals)
        return {};
    return std::string(text.substr(open + 1, equals - open - 1));
}

// Keys and names match without regard to case: the same path and names in capitals find the
// same key and the same values.
void CheckKeyInMemory(std::string_view text, const std::string& keyPath,
                      const std::vector<std::string>& names) {
    const std::optional<WineRegKey> key = FindWineRegKey(text, keyPath);
    const std::optional<WineRegKey> inCapitals = FindWineRegKey(text, AsciiUpper(keyPath));
    FUZZ_CHECK(key.has_value() == inCapitals.has_value());
    if (!key)
        return;
    FUZZ_CHECK(key->valueCount() == inCapitals->valueCount());
    for (const std::string& name : names) {
        const WineRegValue* value = key->find(name);
        const WineRegValue* sameValue = inCapitals->find(AsciiUpper(name));
        FUZZ_CHECK((value == nullptr) == (sameValue == nullptr));
        if (value)
            FUZZ_CHECK(*value == *sameValue);
    }
}

void RemovePrefixFolder();

// A prefix folder of this process's own, whose system.reg the input becomes; removed when the
// run ends.
const fs::path& PrefixFolder() {
    static const fs::path folder = [] {
        std::string pattern = (fs::temp_directory_path() / "tintwell-fuzz-XXXXXX").string();
        FUZZ_CHECK(::mkdtemp(pattern.data()) != nullptr);
        return fs::path(pattern);
    }();
    // Registered once the folder exists, so that it runs while the path is still there.
    [[maybe_unused]] static const int removal = std::atexit(RemovePrefixFolder);
    return folder;
}

void RemovePrefixFolder() {
    std::error_code ignored;
    fs::remove_all(PrefixFolder(), ignored);
}

void WriteFile(const fs::path& file, std::string_view bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    FUZZ_CHECK(out.good());
}

// A text value comes out whole, as the program's 8-bit text: valid UTF-8, with no NUL in it.
void CheckLookupFromDisk(WineRegistry& registry, const std::string& keyPath,
                         const std::string& name) {
    const RegValue value = QueryRegValue(registry, RootKeyLocalMachine, keyPath, name);
    if (const auto* text = std::get_if<std::string>(&value)) {
        FUZZ_CHECK(text->find('\0') == std::string::npos);
        FUZZ_CHECK(IsValidUtf8(*text));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    std::vector<std::string> names = KnownNames;
    names.push_back(FirstValueNamedIn(text));
    std::vector<std::string> keys = KnownKeys;
    keys.push_back(FirstKeyNamedIn(text));
    for (const std::string& keyPath : keys)
        CheckKeyInMemory(text, keyPath, names);

    WriteFile(PrefixFolder() / "system.reg", text);
    WineRegistry registry(PrefixFolder());
    CheckLookupFromDisk(registry, keys.front(), "InstallPath");
    CheckLookupFromDisk(registry, keys.back(), names.back());
    return 0;
}
