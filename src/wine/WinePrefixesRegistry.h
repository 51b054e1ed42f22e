// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/RegistryApi.h"
#include "wine/WineRegistry.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

// The registries of several Wine prefixes as one. A key opens when any prefix holds it, and a value
// is answered by the first of those prefixes whose key holds the value: a key left behind in
// ~/.wine by an uninstalled game (with its CD key, say, but no InstallPath) does not hide the game
// in a Steam Play prefix. The list of prefixes is asked for anew at every open, so a change of
// $WINEPREFIX or a newly installed game counts at once; the prefixes' registry files are read
// through one WineRegFileCache, so that each is read once as long as it stays as it was.
//
// A value's origin is the prefix that answers it: the game's files are in the prefix whose
// registry told where the game is installed, so the install path is mapped through that prefix.
class WinePrefixesRegistry final : public RegistryApi {
public:
    using PrefixList = std::function<std::vector<std::string>()>;

    explicit WinePrefixesRegistry(PrefixList prefixes, std::shared_ptr<WineRegFileCache> cache =
                                                           std::make_shared<WineRegFileCache>());

    std::int32_t openKey(std::uint32_t root, const std::string& subKey, RegHandle& key) override;
    std::int32_t queryValueInfo(RegHandle key, const std::string& valueName, std::uint32_t& type,
                                std::uint32_t& size) override;
    std::int32_t readValueData(RegHandle key, const std::string& valueName, void* buffer,
                               std::uint32_t& size) override;
    std::int32_t closeKey(RegHandle key) override;
    // The folder of the prefix that answers the value; empty when none does.
    std::string valueOrigin(RegHandle key, const std::string& valueName) override;

private:
    // The key as one prefix's registry opened it.
    struct KeyInPrefix {
        std::unique_ptr<WineRegistry> registry;
        RegHandle handle = 0;
    };

    // The key in every prefix that holds it, opened one prefix at a time as values are asked for.
    struct KeyAcrossPrefixes {
        std::uint32_t root = 0;
        std::string subKey;
        std::vector<std::string> prefixesNotAsked; // in the order they are asked
        std::vector<KeyInPrefix> opened;

        // Opens the key in the next prefix that holds it. False when no prefix is left; then
        // `result` is the last open's result code.
        bool openInNextPrefix(const std::shared_ptr<WineRegFileCache>& cache, std::int32_t& result);
    };

    // The key in the first prefix that holds both it and the value; nullptr when none does.
    KeyInPrefix* holderOf(KeyAcrossPrefixes& key, const std::string& valueName);

    PrefixList m_prefixes;
    std::shared_ptr<WineRegFileCache> m_cache;
    std::map<RegHandle, KeyAcrossPrefixes> m_openKeys;
    RegHandle m_lastHandle = 0;
};
