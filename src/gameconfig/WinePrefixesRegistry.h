#pragma once

#include "gameconfig/RegistryApi.h"
#include "gameconfig/WineRegistry.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

// The registries of several Wine prefixes as one: a key is opened in the first prefix whose
// registry holds it, and stays with that prefix until it is closed. The list of prefixes is asked
// for anew at every open, so a change of $WINEPREFIX or a newly installed game counts at once.
//
// It also remembers which prefix gave the most recent value: the game's files are in the prefix
// whose registry told where the game is installed, so the install path is mapped through that
// prefix (Main looks up the chosen game's InstallPath right before it composes the file's path).
class WinePrefixesRegistry final : public RegistryApi {
public:
    using PrefixList = std::function<std::vector<std::string>()>;

    explicit WinePrefixesRegistry(PrefixList prefixes);

    std::int32_t OpenKey(std::uint32_t root, const std::string& subKey, RegHandle& key) override;
    std::int32_t QueryValueInfo(RegHandle key, const std::string& valueName, std::uint32_t& type,
                                std::uint32_t& size) override;
    std::int32_t ReadValueData(RegHandle key, const std::string& valueName, void* buffer,
                               std::uint32_t& size) override;
    std::int32_t CloseKey(RegHandle key) override;

    // The prefix whose registry gave the most recent value, while it is still one of the
    // prefixes searched; else the first of them (where Wine itself would look).
    std::string prefixForPaths() const;

private:
    WineRegistry* ownerOf(RegHandle key) const;

    PrefixList m_prefixes;
    std::map<RegHandle, std::unique_ptr<WineRegistry>> m_keyOwners;
    std::string m_lastAnswer;
};

// The registry where there is no Windows registry, over the prefixes of WinePrefixesToSearch()
// (defined only in builds without a Windows registry).
WinePrefixesRegistry& WinePlatformRegistry();
