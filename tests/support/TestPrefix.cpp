// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/TestPrefix.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <utility>

#if defined(_WIN32)
#include <windows.h>
#endif

namespace fs = std::filesystem;

TempDir::TempDir() {
    std::random_device random;
    const fs::path base = fs::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path candidate = base / ("tintwell-test-" + std::to_string(random()));
        if (fs::create_directory(candidate)) {
            m_path = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
    std::error_code ignored;
    // Tests may have taken permissions away; give them back so everything can go.
    fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(m_path, ignored);
}

void SetEnv(const std::string& name, const std::optional<std::string>& value) {
#if defined(_WIN32)
    // The C runtime (getenv) and the system (GetEnvironmentVariable) each keep a copy.
    _putenv_s(name.c_str(), value.value_or("").c_str());
    SetEnvironmentVariableA(name.c_str(), value ? value->c_str() : nullptr);
#else
    if (value)
        setenv(name.c_str(), value->c_str(), 1);
    else
        unsetenv(name.c_str());
#endif
}

ScopedEnv::ScopedEnv(std::string name, const std::optional<std::string>& value)
    : m_name(std::move(name)) {
    if (const char* old = std::getenv(m_name.c_str()))
        m_old = old;
    SetEnv(m_name, value);
}

ScopedEnv::~ScopedEnv() {
    SetEnv(m_name, m_old);
}

WorkingFolder::WorkingFolder(const fs::path& folder) : m_old(fs::current_path()) {
    fs::current_path(folder);
}

WorkingFolder::~WorkingFolder() {
    std::error_code ignored;
    fs::current_path(m_old, ignored);
}

// SplitMix64, not std::mt19937: the window tests link this, and in a program linked with the
// static Qt for Windows any std::mt19937 of its own makes Qt's QRandomGenerator::global() write
// through a wild pointer (QSaveFile and QTemporaryFile crash), as Qt 6.4 and MinGW-w64 GCC 12
// build.
std::string RandomBytes(std::size_t size, std::uint32_t seed) {
    std::uint64_t state = seed;
    std::string bytes(size, '\0');
    for (char& byte : bytes) {
        std::uint64_t z = (state += 0x9e3779b97f4a7c15u);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9u;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebu;
        byte = static_cast<char>(z ^ (z >> 31));
    }
    return bytes;
}

std::string ReadBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const fs::path& file, const std::string& bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::set<std::string> Listing(const fs::path& folder) {
    std::set<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

void LinkWineDrives(const fs::path& prefix) {
    fs::create_directories(prefix / "dosdevices");
    fs::create_directory_symlink("../drive_c", prefix / "dosdevices" / "c:");
    fs::create_directory_symlink("/", prefix / "dosdevices" / "z:");
}

std::string RegEscape(const std::string& text) {
    std::string escaped;
    for (char c : text) {
        if (c == '\\' || c == '"')
            escaped += '\\';
        escaped += c;
    }
    return escaped;
}

fs::path TestPrefix::installGame(const std::string& gameRegKey, const std::string& windowsFolder,
                                 const std::string& subDir, const std::string& cfgFile,
                                 const std::string& cfgContent) {
    const std::string software = "Software\\";
    std::string key = gameRegKey;
    if (key.rfind(software, 0) == 0)
        key = "Software\\Wow6432Node\\" + key.substr(software.size());
    addString(key, "InstallPath", windowsFolder);
    const fs::path cfg = hostPath(windowsFolder + subDir + cfgFile);
    WriteBytes(cfg, cfgContent);
    return cfg;
}

fs::path TestPrefix::hostPath(const std::string& windowsPath) const {
    fs::path host = driveC();
    std::string component;
    for (std::size_t i = 2; i <= windowsPath.size(); ++i) { // skip "C:"
        if (i == windowsPath.size() || windowsPath[i] == '\\') {
            if (!component.empty())
                host /= component;
            component.clear();
        } else {
            component += windowsPath[i];
        }
    }
    return host;
}
