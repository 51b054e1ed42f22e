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

// The parents of the keys at `places` whose families `cached` does not know yet, each once.
std::vector<std::string>
UnknownParents(const std::vector<KeyInFamily>& places,
               const std::map<std::string, std::optional<WineRegFamily>>& known) {
    std::vector<std::string> parents;
    for (const KeyInFamily& place : places) {
        if (!known.contains(place.parent) &&
            std::find(parents.begin(), parents.end(), place.parent) == parents.end())
            parents.push_back(place.parent);
    }
    return parents;
}

// One of `parents` for each name they end in, in any letter case: MayHoldKey's answer depends on
// that name alone (the views "Software\X" and "Software\Wow6432Node\X" share it).
std::vector<std::string> OnePerName(const std::vector<std::string>& parents) {
    std::map<std::string, std::string> byName;
    for (const std::string& parent : parents) {
        std::string name = InFamily(parent).name;
        std::transform(name.begin(), name.end(), name.begin(), AsciiLower);
        byName.try_emplace(std::move(name), parent);
    }
    std::vector<std::string> distinct;
    for (auto& [name, parent] : byName)
        distinct.push_back(std::move(parent));
    return distinct;
}

// A text that comes in chunks, searched for the names of keys' parents as MayHoldKey searches a
// whole text, a name that spans the border of two chunks included.
class ChunkedParentSearch {
public:
    // Whether the text so far, of which `chunk` is the latest part, names one of `parents`.
    bool names(std::string_view chunk, const std::vector<std::string>& parents) {
        std::size_t longest = 1;
        for (const std::string& parent : parents)
            longest = std::max(longest, InFamily(parent).name.size());
        const std::size_t overlap = longest - 1;
        std::string border = m_tail;
        border.append(chunk.substr(0, overlap));
        const bool named =
            std::any_of(parents.begin(), parents.end(), [&](const std::string& parent) {
                return MayHoldKey(border, parent) || MayHoldKey(chunk, parent);
            });
        m_tail = chunk.size() >= overlap
                     ? std::string(chunk.substr(chunk.size() - overlap))
                     : border.substr(border.size() - std::min(border.size(), overlap));
        return named;
    }

private:
    std::string m_tail; // the end of the text so far, a byte shorter than the longest name
};

// The families of `parents` in the whole text of a registry file, into `families`.
void FindFamilies(std::string_view text, const std::vector<std::string>& parents,
                  std::map<std::string, std::optional<WineRegFamily>>& families) {
    // The test depends on the parent's own name alone: the views of a key ("Software\X" and
    // "Software\Wow6432Node\X") share one pass over the text.
    std::map<std::string, bool> mayHold;
    for (const std::string& parent : parents) {
        std::string name = InFamily(parent).name;
        std::transform(name.begin(), name.end(), name.begin(), AsciiLower);
        const auto [test, untested] = mayHold.try_emplace(std::move(name), false);
        if (untested)
            test->second = MayHoldKey(text, parent);
        families[parent] = test->second ? FindWineRegFamily(text, parent) : std::nullopt;
    }
}

} // namespace

WineRegFileCache::WineRegFileCache(ChunkReader read) : m_read(std::move(read)) {}

std::vector<std::optional<WineRegKey>>
WineRegFileCache::keysAt(const std::filesystem::path& file,
                         const std::vector<std::string>& keyPaths) {
    std::vector<KeyInFamily> places;
    for (const std::string& keyPath : keyPaths)
        places.push_back(InFamily(keyPath));
    const std::string path = file.string();
    const auto failed = [&] {
        m_files.erase(path);
        return std::vector<std::optional<WineRegKey>>(keyPaths.size());
    };

    // Both reads below see the file's stamp: a file changed in between is taken as it is then.
    CachedFile* cached = nullptr;
    std::vector<std::string> unknown;
    std::vector<std::string> searchedFor;
    const auto stamped = [&](const FileStamp& stamp) {
        cached = &m_files[path];
        if (cached->stamp != stamp)
            *cached = CachedFile{stamp, {}};
        unknown = UnknownParents(places, cached->families);
        searchedFor = OnePerName(unknown);
        return !unknown.empty();
    };

    // First a search for the parents' names, which most files do not hold. A file that grows past
    // any real registry file meanwhile is left to the whole read, which refuses it.
    ChunkedParentSearch search;
    std::size_t searched = 0;
    bool readWhole = false;
    const auto searchChunk = [&](std::string_view chunk) {
        searched += chunk.size();
        readWhole = searched > MaxRegFileSize || search.names(chunk, searchedFor);
        return !readWhole;
    };
    if (m_read(path, MaxRegFileSize, stamped, searchChunk) || !cached)
        return failed();
    if (readWhole) {
        const Outcome<std::optional<std::string>> text =
            ReadWholeFileIf(path, MaxRegFileSize, stamped, m_read);
        if (!text)
            return failed();
        if (text.value())
            FindFamilies(*text.value(), unknown, cached->families);
    } else {
        for (const std::string& parent : unknown)
            cached->families[parent] = std::nullopt;
    }

    std::vector<std::optional<WineRegKey>> keys;
    for (const KeyInFamily& place : places)
        keys.push_back(KeyOf(cached->families.at(place.parent), place));
    return keys;
}
