#include "gameconfig/RegistryApi.h"
#include "gameconfig/WinePrefix.h"
#include "gameconfig/WineRegistry.h"

#include <map>
#include <memory>

namespace {

// The registry of the Wine prefix in use at the moment a key is opened: $WINEPREFIX may change
// between two lookups, and each opened key stays with the prefix it came from until it is closed.
class CurrentPrefixRegistry final : public RegistryApi {
public:
    std::int32_t OpenKey(std::uint32_t root, const std::string& subKey, RegHandle& key) override {
        auto registry = std::make_unique<WineRegistry>(CurrentWinePrefix());
        RegHandle opened = 0;
        const std::int32_t result = registry->OpenKey(root, subKey, opened);
        if (opened != 0) {
            m_keyOwners.emplace(opened, std::move(registry));
            key = opened;
        }
        return result;
    }

    std::int32_t QueryValueInfo(RegHandle key, const std::string& valueName, std::uint32_t& type,
                                std::uint32_t& size) override {
        WineRegistry* owner = ownerOf(key);
        return owner ? owner->QueryValueInfo(key, valueName, type, size) : RegInvalidHandle;
    }

    std::int32_t ReadValueData(RegHandle key, const std::string& valueName, void* buffer,
                               std::uint32_t& size) override {
        WineRegistry* owner = ownerOf(key);
        return owner ? owner->ReadValueData(key, valueName, buffer, size) : RegInvalidHandle;
    }

    std::int32_t CloseKey(RegHandle key) override {
        WineRegistry* owner = ownerOf(key);
        if (!owner)
            return RegInvalidHandle;
        const std::int32_t result = owner->CloseKey(key);
        m_keyOwners.erase(key);
        return result;
    }

private:
    WineRegistry* ownerOf(RegHandle key) const {
        const auto owner = m_keyOwners.find(key);
        return owner == m_keyOwners.end() ? nullptr : owner->second.get();
    }

    std::map<RegHandle, std::unique_ptr<WineRegistry>> m_keyOwners;
};

} // namespace

RegistryApi& PlatformRegistry() {
    static CurrentPrefixRegistry registry;
    return registry;
}
