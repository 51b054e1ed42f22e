// SPDX-License-Identifier: GPL-3.0-or-later
// TestPrefix where the program reads the Windows registry itself (the tests run under Wine, in a
// prefix of their own): the values go into HKEY_LOCAL_MACHINE, keys written as they stand in
// system.reg (the 64-bit view, in which Software\Wow6432Node is the 32-bit view's home), and come
// out again when the object goes. Drive C stands for driveC(), a temporary folder, so that the
// tests never touch the real drive: "C:\Games\CoD" is stored as "<dir>\drive_c\Games\CoD".
// The tests that use it hold a lock on the registry (tests/CMakeLists.txt), one at a time.
#include "support/TestPrefix.h"

#include <stdexcept>
#include <windows.h>

namespace fs = std::filesystem;

namespace {

// Every game a test installs lives below these keys.
const char* const GameKeys[] = {"Software\\Wow6432Node\\Activision", "Software\\Activision"};

// The key with everything below it, if it is there.
void RemoveKey(const std::string& keyPath) {
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, keyPath.c_str());
}

void SetValue(const std::string& keyPath, const std::string& name, DWORD type, const void* data,
              DWORD size) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, nullptr, 0,
                        KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, &key, nullptr) != ERROR_SUCCESS)
        throw std::runtime_error("cannot create the registry key " + keyPath);
    const LONG result =
        RegSetValueExA(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS)
        throw std::runtime_error("cannot set the registry value " + keyPath + "\\" + name);
}

// "\"a\\\\b\"" (system.reg's escaping) -> "a\\b".
std::string Unescaped(const std::string& quoted) {
    std::string text;
    for (std::size_t i = 1; i + 1 < quoted.size(); ++i) {
        if (quoted[i] == '\\')
            ++i;
        text += quoted[i];
    }
    return text;
}

} // namespace

TestPrefix::TestPrefix() {
    fs::create_directories(driveC());
    for (const char* key : GameKeys)
        RemoveKey(key); // left over from a test that crashed
}

TestPrefix::~TestPrefix() {
    for (const Value& value : m_values)
        RemoveKey(value.keyPath);
    for (const char* key : GameKeys)
        RemoveKey(key);
}

void TestPrefix::addString(const std::string& keyPath, const std::string& name,
                           const std::string& value) {
    std::string stored = value;
    if (value.size() >= 3 && (value[0] == 'C' || value[0] == 'c') && value[1] == ':' &&
        value[2] == '\\')
        stored = driveC().string() + value.substr(2);
    SetValue(keyPath, name, REG_SZ, stored.c_str(), static_cast<DWORD>(stored.size() + 1));
    m_values.push_back({keyPath, name, stored});
}

// Strings only ("\"...\"" as system.reg writes them): no window test stores anything else.
void TestPrefix::addRaw(const std::string& keyPath, const std::string& name,
                        const std::string& rawValue) {
    if (rawValue.size() < 2 || rawValue.front() != '"' || rawValue.back() != '"')
        throw std::invalid_argument("not a string: " + rawValue);
    addString(keyPath, name, Unescaped(rawValue));
}
