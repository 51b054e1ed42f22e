// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

// A throwaway folder, removed with everything in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

// Sets an environment variable of this process, or removes it when `value` is nullopt. On Windows
// an empty value removes the variable too: its C runtime cannot hold an empty one.
void SetEnv(const std::string& name, const std::optional<std::string>& value);

// Sets (or, with nullopt, removes) an environment variable while it lives; the old state comes
// back afterwards.
class ScopedEnv {
public:
    ScopedEnv(std::string name, const std::optional<std::string>& value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

    // Sets it to another value (or removes it) for the rest of the object's life.
    void set(const std::optional<std::string>& value) { SetEnv(m_name, value); }

private:
    std::string m_name;
    std::optional<std::string> m_old;
};

// Makes `folder` the working folder while it lives.
class WorkingFolder {
public:
    explicit WorkingFolder(const std::filesystem::path& folder);
    ~WorkingFolder();
    WorkingFolder(const WorkingFolder&) = delete;
    WorkingFolder& operator=(const WorkingFolder&) = delete;

private:
    std::filesystem::path m_old;
};

// `size` bytes of every value, the same for the same seed.
std::string RandomBytes(std::size_t size, std::uint32_t seed);

std::string ReadBytes(const std::filesystem::path& file);
void WriteBytes(const std::filesystem::path& file, const std::string& bytes);

// The names in `folder`.
std::set<std::string> Listing(const std::filesystem::path& folder);

// Gives the Wine prefix at `prefix` the drive links Wine makes: dosdevices/c: to ../drive_c and
// dosdevices/z: to /. The one place that lays them out, for the tests, the bench and (through
// tintwell_wine_drives) dev.sh's sample prefix: they cannot be committed, as no Windows file name
// holds a colon.
void LinkWineDrives(const std::filesystem::path& prefix);

// A game install as the program finds it, in a temporary folder. Where the program reads a Wine
// prefix, a prefix laid out as Wine lays it out: drive_c/, dosdevices/c: linking to ../drive_c,
// and a system.reg (HKEY_LOCAL_MACHINE) written from the values added; while it lives,
// $WINEPREFIX names it. On Windows the values go into the registry itself, and drive C in them
// stands for driveC() (TestPrefixWindows.cpp). Whatever it changed goes back afterwards.
class TestPrefix {
public:
    TestPrefix();
    ~TestPrefix();

    const std::filesystem::path& dir() const { return m_dir.path(); }
    std::filesystem::path driveC() const { return dir() / "drive_c"; }

    // A REG_SZ value at `keyPath` (as written inside the brackets of system.reg, single
    // backslashes here, e.g. "Software\\Wow6432Node\\Activision\\Call of Duty").
    void addString(const std::string& keyPath, const std::string& name, const std::string& value);
    // A value line written as it stands after `"name"=` (e.g. "dword:00000010").
    void addRaw(const std::string& keyPath, const std::string& name, const std::string& rawValue);

    // Registers a game as its 32-bit installer does (under Software\Wow6432Node) with the given
    // Windows install folder, and puts `cfgContent` into <folder><subDir><cfgFile> on drive C.
    // Returns the host path of the config file.
    std::filesystem::path installGame(const std::string& gameRegKey,
                                      const std::string& windowsFolder, const std::string& subDir,
                                      const std::string& cfgFile, const std::string& cfgContent);

    // The host path of a Windows path on drive C, as the program names it: in the folder the
    // drive's link leads to ("C:\a\b" -> <prefix>/drive_c/a/b).
    std::filesystem::path hostPath(const std::string& windowsPath) const;

private:
    struct Value {
        std::string keyPath, name, raw;
    };
    void writeSystemReg() const;

    TempDir m_dir;
    std::vector<Value> m_values;
    std::optional<ScopedEnv> m_winePrefix;
};

// "C:\a\b" -> "[a\\\\b]"-style escaping of system.reg: backslashes and quotes get a backslash.
std::string RegEscape(const std::string& text);
