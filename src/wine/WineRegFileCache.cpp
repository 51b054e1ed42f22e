// SPDX-License-Identifier: GPL-3.0-or-later
#include "wine/WineRegFileCache.h"

#include "platform/AsciiText.h"

#include <algorithm>
#include <string_view>
#include <utility>

namespace {

// A key path as the family of its parent answers for it: the parent's path and the key's name
// (its last component). A path without any name stands for the root, its family's own key.
struct KeyInFamily {
    std::string parent;
    std::string name;
};

KeyInFamily InFamily(std::string_view keyPath) {
    const std::string_view trimmed = keyPath.substr(0, keyPath.find_last_not_of('\\') + 1);
    if (trimmed.empty())
        return {std::string(keyPath), ""};
    const std::size_t separator = trimmed.rfind('\\');
    if (separator == std::string_view::npos)
        return {"", std::string(trimmed)};
    return {std::string(trimmed.substr(0, separator)), std::string(trimmed.substr(separator + 1))};
}

std::optional<WineRegKey> KeyOf(const std::optional<WineRegFamily>& family,
                                const KeyInFamily& place) {
    if (!family)
        return std::nullopt;
    if (place.name.empty())
        return family->key;
    const WineRegKey* child = family->child(place.name);
    return child ? std::optional(*child) : std::nullopt;
}

} // namespace

WineRegFileCache::WineRegFileCache(FileLook look) : m_look(std::move(look)) {}

std::vector<std::optional<WineRegKey>>
WineRegFileCache::keysAt(const std::filesystem::path& file,
                         const std::vector<std::string>& keyPaths) {
    std::vector<KeyInFamily> places;
    for (const std::string& keyPath : keyPaths)
        places.push_back(InFamily(keyPath));
    const auto unknownIn = [&places](const CachedFile& cached) {
        return std::any_of(places.begin(), places.end(), [&cached](const KeyInFamily& place) {
            return !cached.families.contains(place.parent);
        });
    };

    const std::string path = file.string();
    CachedFile* cached = nullptr;
    const auto stamped = [&](const FileStamp& stamp) {
        cached = &m_files[path];
        if (cached->stamp != stamp)
            *cached = CachedFile{stamp, {}};
        return unknownIn(*cached);
    };
    const auto look = [&](std::string_view text) {
        // The test depends on the parent's own name alone: the views of a key ("Software\X" and
        // "Software\Wow6432Node\X") share one pass over the text.
        std::map<std::string, bool> mayHold;
        for (const KeyInFamily& place : places) {
            if (cached->families.contains(place.parent))
                continue;
            std::string name = InFamily(place.parent).name;
            std::transform(name.begin(), name.end(), name.begin(), AsciiLower);
            const auto [test, untested] = mayHold.try_emplace(std::move(name), false);
            if (untested)
                test->second = MayHoldKey(text, place.parent);
            cached->families[place.parent] =
                test->second ? FindWineRegFamily(text, place.parent) : std::nullopt;
        }
    };
    if (m_look(path, MaxRegFileSize, stamped, look) || !cached) {
        m_files.erase(path);
        return std::vector<std::optional<WineRegKey>>(keyPaths.size());
    }

    std::vector<std::optional<WineRegKey>> keys;
    for (const KeyInFamily& place : places)
        keys.push_back(KeyOf(cached->families.at(place.parent), place));
    return keys;
}
