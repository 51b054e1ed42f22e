// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Wine keeps each registry hive as a text file (system.reg is HKEY_LOCAL_MACHINE):
//
//   WINE REGISTRY Version 2
//   ;; All keys relative to \\Machine
//   #arch=win64
//
//   [Software\\Wow6432Node\\Activision\\Call of Duty] 1733500000
//   #time=1db48a3f0c2e9a4
//   "InstallPath"="C:\\Games\\Call of Duty"
//
// These files run to several megabytes, so a lookup makes one pass over the lines and keeps only
// the values of the key it was asked for. Whatever is malformed holds nothing: a broken file
// holds no key, a broken key line no values, a broken value line no value.

// A value as the registry stores it. Strings are UTF-16LE; the quoted forms end in a NUL, the
// hex forms hold exactly the bytes written (a hex(1) string may lack its NUL or its last byte).
struct WineRegValue {
    std::uint32_t type = 0;
    std::string data;

    bool operator==(const WineRegValue&) const = default;
};

// The values of one key. Names compare without regard to case; a name given twice keeps the
// later value, as when Wine loads the file.
class WineRegKey {
public:
    // The value of that name (UTF-8; "" is the key's default value), or nullptr.
    const WineRegValue* find(std::string_view name) const;
    void set(std::u16string_view name, WineRegValue value);
    std::size_t valueCount() const { return m_values.size(); }

private:
    struct Entry {
        std::u32string foldedName;
        WineRegValue value;
    };
    std::vector<Entry> m_values;
};

// Looks up `keyPath` (UTF-8, backslash-separated, relative to the file's root, any letter case)
// in the text of a registry file. A key exists when the file names it or any key below it; a
// key that only has sub-keys holds no values. Nothing when the text is no registry file or does
// not hold the key.
std::optional<WineRegKey> FindWineRegKey(std::string_view fileText, std::string_view keyPath);

// The whole text of a registry file, or nothing when it is missing, is no ordinary file, cannot
// be read whole, or is larger than any real registry file (512 MiB).
std::optional<std::string> ReadRegFileText(const std::filesystem::path& file);
