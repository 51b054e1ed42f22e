// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/RegistryApi.h"
#include "wine/WineRegFile.h"
#include "wine/WineRegFileCache.h"

#include <filesystem>
#include <map>
#include <memory>

// The registry of one Wine prefix, as a 32-bit Windows program sees it through the registry's
// 8-bit functions:
// - HKEY_LOCAL_MACHINE is <prefix>/system.reg, read again when a key is opened after the file
//   changed (through a WineRegFileCache, which registries may share); other roots hold nothing.
// - "Software\X" is looked up first at "Software\Wow6432Node\X" (where a win64 prefix keeps the
//   32-bit view), then at the path itself.
// - String data (types 1, 2 and 7) comes out as UTF-8, the host's 8-bit text; its size counts
//   the converted bytes, the final NUL included when the stored data has one.
class WineRegistry : public RegistryApi {
public:
    explicit WineRegistry(
        std::filesystem::path prefixDir,
        std::shared_ptr<WineRegFileCache> cache = std::make_shared<WineRegFileCache>());

    std::int32_t openKey(std::uint32_t root, const std::string& subKey, RegHandle& key) override;
    std::int32_t queryValueInfo(RegHandle key, const std::string& valueName, std::uint32_t& type,
                                std::uint32_t& size) override;
    // A null `buffer` only reports the size, as the Windows registry does.
    std::int32_t readValueData(RegHandle key, const std::string& valueName, void* buffer,
                               std::uint32_t& size) override;
    std::int32_t closeKey(RegHandle key) override;
    // The prefix's folder.
    std::string valueOrigin(RegHandle key, const std::string& valueName) override;

private:
    // The value at an open key; nullptr, with the result code in `error`, when there is none.
    const WineRegValue* findValue(RegHandle key, const std::string& valueName,
                                  std::int32_t& error) const;

    std::filesystem::path m_prefixDir;
    std::shared_ptr<WineRegFileCache> m_cache;
    std::map<RegHandle, WineRegKey> m_openKeys;
};
