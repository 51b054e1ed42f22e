#include "gameconfig/WinePrefixesRegistry.h"

#include <algorithm>
#include <utility>

WinePrefixesRegistry::WinePrefixesRegistry(PrefixList prefixes) : m_prefixes(std::move(prefixes)) {}

std::int32_t WinePrefixesRegistry::OpenKey(std::uint32_t root, const std::string& subKey,
                                           RegHandle& key) {
    std::int32_t result = RegFileNotFound;
    for (const std::string& prefix : m_prefixes()) {
        auto registry = std::make_unique<WineRegistry>(prefix);
        RegHandle opened = 0;
        result = registry->OpenKey(root, subKey, opened);
        if (opened != 0) {
            m_keyOwners.emplace(opened, std::move(registry));
            key = opened;
            return result;
        }
    }
    return result;
}

std::int32_t WinePrefixesRegistry::QueryValueInfo(RegHandle key, const std::string& valueName,
                                                  std::uint32_t& type, std::uint32_t& size) {
    WineRegistry* owner = ownerOf(key);
    return owner ? owner->QueryValueInfo(key, valueName, type, size) : RegInvalidHandle;
}

std::int32_t WinePrefixesRegistry::ReadValueData(RegHandle key, const std::string& valueName,
                                                 void* buffer, std::uint32_t& size) {
    WineRegistry* owner = ownerOf(key);
    if (!owner)
        return RegInvalidHandle;
    const std::int32_t result = owner->ReadValueData(key, valueName, buffer, size);
    if (result == RegSuccess && buffer)
        m_lastAnswer = owner->prefixDir().string();
    return result;
}

std::int32_t WinePrefixesRegistry::CloseKey(RegHandle key) {
    WineRegistry* owner = ownerOf(key);
    if (!owner)
        return RegInvalidHandle;
    const std::int32_t result = owner->CloseKey(key);
    m_keyOwners.erase(key);
    return result;
}

std::string WinePrefixesRegistry::prefixForPaths() const {
    const std::vector<std::string> prefixes = m_prefixes();
    if (std::find(prefixes.begin(), prefixes.end(), m_lastAnswer) != prefixes.end())
        return m_lastAnswer;
    return prefixes.empty() ? std::string() : prefixes.front();
}

WineRegistry* WinePrefixesRegistry::ownerOf(RegHandle key) const {
    const auto owner = m_keyOwners.find(key);
    return owner == m_keyOwners.end() ? nullptr : owner->second.get();
}
