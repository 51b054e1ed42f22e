// SPDX-License-Identifier: GPL-3.0-or-later
#include "wine/WinePrefixesRegistry.h"

#include <utility>

bool WinePrefixesRegistry::KeyAcrossPrefixes::openInNextPrefix(
    const std::shared_ptr<WineRegFileCache>& cache, std::int32_t& result) {
    while (!prefixesNotAsked.empty()) {
        auto registry = std::make_unique<WineRegistry>(prefixesNotAsked.front(), cache);
        prefixesNotAsked.erase(prefixesNotAsked.begin());
        RegHandle handle = 0;
        result = registry->openKey(root, subKey, handle);
        if (handle != 0) {
            opened.push_back({std::move(registry), handle});
            return true;
        }
    }
    return false;
}

WinePrefixesRegistry::WinePrefixesRegistry(PrefixList prefixes,
                                           std::shared_ptr<WineRegFileCache> cache)
    : m_prefixes(std::move(prefixes)), m_cache(std::move(cache)) {}

std::int32_t WinePrefixesRegistry::openKey(std::uint32_t root, const std::string& subKey,
                                           RegHandle& key) {
    KeyAcrossPrefixes opening{root, subKey, m_prefixes(), {}};
    std::int32_t result = RegFileNotFound;
    if (!opening.openInNextPrefix(m_cache, result))
        return result;
    key = ++m_lastHandle;
    m_openKeys.emplace(key, std::move(opening));
    return result;
}

WinePrefixesRegistry::KeyInPrefix* WinePrefixesRegistry::holderOf(KeyAcrossPrefixes& key,
                                                                  const std::string& valueName) {
    std::int32_t ignored = RegSuccess;
    for (std::size_t i = 0; i < key.opened.size() || key.openInNextPrefix(m_cache, ignored); ++i) {
        KeyInPrefix& candidate = key.opened[i];
        std::uint32_t type = 0, size = 0;
        if (candidate.registry->queryValueInfo(candidate.handle, valueName, type, size) !=
            RegFileNotFound)
            return &candidate;
    }
    return nullptr;
}

std::int32_t WinePrefixesRegistry::queryValueInfo(RegHandle key, const std::string& valueName,
                                                  std::uint32_t& type, std::uint32_t& size) {
    const auto open = m_openKeys.find(key);
    if (open == m_openKeys.end())
        return RegInvalidHandle;
    KeyInPrefix* holder = holderOf(open->second, valueName);
    return holder ? holder->registry->queryValueInfo(holder->handle, valueName, type, size)
                  : RegFileNotFound;
}

std::int32_t WinePrefixesRegistry::readValueData(RegHandle key, const std::string& valueName,
                                                 void* buffer, std::uint32_t& size) {
    const auto open = m_openKeys.find(key);
    if (open == m_openKeys.end())
        return RegInvalidHandle;
    KeyInPrefix* holder = holderOf(open->second, valueName);
    if (!holder)
        return RegFileNotFound;
    return holder->registry->readValueData(holder->handle, valueName, buffer, size);
}

std::int32_t WinePrefixesRegistry::closeKey(RegHandle key) {
    const auto open = m_openKeys.find(key);
    if (open == m_openKeys.end())
        return RegInvalidHandle;
    std::int32_t result = RegSuccess; // the first failure, if any
    for (KeyInPrefix& opened : open->second.opened) {
        const std::int32_t closed = opened.registry->closeKey(opened.handle);
        if (result == RegSuccess)
            result = closed;
    }
    m_openKeys.erase(open);
    return result;
}

std::string WinePrefixesRegistry::valueOrigin(RegHandle key, const std::string& valueName) {
    const auto open = m_openKeys.find(key);
    if (open == m_openKeys.end())
        return {};
    KeyInPrefix* holder = holderOf(open->second, valueName);
    return holder ? holder->registry->valueOrigin(holder->handle, valueName) : std::string();
}
