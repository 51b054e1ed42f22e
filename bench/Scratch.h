// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// The whole file as bytes (empty when it cannot be read).
std::string FileText(const std::filesystem::path& file);

// Copies the sample Wine prefix `demo` to `target` and gives the copy the drive links that
// cannot be committed (LinkWineDrives).
void CopySamplePrefix(const std::filesystem::path& demo, const std::filesystem::path& target);

// A system.reg of `bytes` bytes (or a line more) holding keys of the kinds a well-used prefix
// holds, none of them a game's.
std::string UnrelatedRegistry(std::size_t bytes);

// `count` bottles of Bottles under the home folder `home` (.local/share/bottles/bottles/bottle-N),
// each a Wine prefix with an UnrelatedRegistry of `regBytes`.
void MakeBottles(const std::filesystem::path& home, int count, std::size_t regBytes);

// Steam's binary shortcuts.vdf with one non-Steam game, whose app id is `appId`.
std::string ShortcutsVdf(std::uint32_t appId);

// A Steam installation under the home folder `home` (.local/share/Steam) with a Steam Play prefix
// for each of `apps` (steamapps/compatdata/<app>/pfx), each a Wine prefix whose system.reg is an
// UnrelatedRegistry of `regBytes`, and a Steam user's shortcuts.vdf naming one non-Steam game of
// app id `shortcutApp`. The registries are hard links to one file, which the reader cannot tell.
void MakeSteamInstallation(const std::filesystem::path& home,
                           const std::vector<std::uint32_t>& apps, std::size_t regBytes,
                           std::uint32_t shortcutApp);

// `regText` (a system.reg) without the key whose header line starts with "[<key>]" and its values;
// throws when there is no such key. `key` is written as in the file, backslashes doubled.
std::string WithoutRegistryKey(std::string_view regText, std::string_view key);

// The kind of file system `folder` is on ("ext4", "tmpfs", ...), or its magic number in hex.
std::string FileSystemOf(const std::filesystem::path& folder);
