// SPDX-License-Identifier: GPL-3.0-or-later
// TestPrefix where the program reads a Wine prefix: a real prefix layout in a temporary folder.
#include "support/TestPrefix.h"

#include <map>
#include <vector>

namespace fs = std::filesystem;

TestPrefix::TestPrefix() {
    fs::create_directories(driveC());
    LinkWineDrives(dir());
    writeSystemReg();
    m_winePrefix.emplace("WINEPREFIX", dir().string());
}

TestPrefix::~TestPrefix() = default;

void TestPrefix::addString(const std::string& keyPath, const std::string& name,
                           const std::string& value) {
    addRaw(keyPath, name, "\"" + RegEscape(value) + "\"");
}

void TestPrefix::addRaw(const std::string& keyPath, const std::string& name,
                        const std::string& rawValue) {
    m_values.push_back({keyPath, name, rawValue});
    writeSystemReg();
}

void TestPrefix::writeSystemReg() const {
    std::map<std::string, std::vector<const Value*>> keys;
    for (const Value& value : m_values)
        keys[value.keyPath].push_back(&value);
    std::string reg =
        "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n";
    for (const auto& [keyPath, values] : keys) {
        reg += "\n[" + RegEscape(keyPath) + "] 1733500000\n#time=1db48a3f0c2e9a4\n";
        for (const Value* value : values)
            reg += "\"" + RegEscape(value->name) + "\"=" + value->raw + "\n";
    }
    WriteBytes(dir() / "system.reg", reg);
}
