// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <map>
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

// A key with the keys right below it, as one pass over a registry file finds them: a lookup of
// one game's key answers for the other game's too, whose key is its sibling.
struct WineRegFamily {
    std::optional<WineRegKey> key;                 // nothing when the file does not hold it
    std::map<std::u32string, WineRegKey> children; // by name, folded as names compare

    // The child of that name (UTF-8, any letter case), or nullptr.
    const WineRegKey* child(std::string_view name) const;
};

// Looks up `keyPath` (UTF-8, backslash-separated, relative to the file's root, any letter case)
// in the text of a registry file. A key exists when the file names it or any key below it; a
// key that only has sub-keys holds no values. Nothing when the text is no registry file.
std::optional<WineRegFamily> FindWineRegFamily(std::string_view fileText, std::string_view keyPath);

// The key alone: nothing when the text is no registry file or does not hold the key.
std::optional<WineRegKey> FindWineRegKey(std::string_view fileText, std::string_view keyPath);

// The test before a parse, which passes over a file of megabytes in a fraction of the time: false
// when the text cannot hold the key at `keyPath`, nor so any key below it, because the key's own
// name (its last component) stands nowhere in it in any letter case.
//
// Wine writes every printable ASCII character of a key name as itself (it escapes only control
// characters, characters beyond ASCII, the backslash and the brackets), and a key line never
// goes on to the next line (only hex lists do), so a name like "Activision" is found in any file
// Wine wrote. What this passes over: a name whose plain letters are written as escapes
// ("\x0041ctivision"), or spelled with the dotless i or the long s, which the registry folds to
// I and S; Wine writes neither for a name given in ASCII. A name that holds anything Wine would
// escape is never passed over.
bool MayHoldKey(std::string_view fileText, std::string_view keyPath);

// Far more than any real registry file (a fresh prefix's system.reg has some 2 MiB, a well-used
// one tens of MiB); reading a larger one whole would only exhaust the memory.
inline constexpr std::size_t MaxRegFileSize = std::size_t{512} << 20;
