// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/HostFiles.h"
#include "wine/WineRegFile.h"

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

// What lookups found in registry files, kept for as long as each file stays as it was (the same
// file, size and times), so that a file is read once however often it is asked: for both games
// at every edit cycle, in every prefix of the search. Only what was found is kept, never a file's
// text: the families of the keys' parents (WineRegFamily), or that the file holds none. A file
// that does not name a parent at all (MayHoldKey) is passed over: it is searched chunk by chunk,
// and read whole and parsed only once a parent's name is found in it.
class WineRegFileCache {
public:
    // `read` reads each file in chunks: ReadInChunks, or a stand-in that counts the reads.
    explicit WineRegFileCache(ChunkReader read = ReadInChunks);

    // The keys at `keyPaths` in the registry file `file` (as FindWineRegKey finds them), in that
    // order: nothing for a key the file does not hold, and for every key when the file cannot be
    // read or is no registry file. The file is read for all of them at once, and not at all while
    // it stays as it was when it last answered for these keys' parents.
    std::vector<std::optional<WineRegKey>> keysAt(const std::filesystem::path& file,
                                                  const std::vector<std::string>& keyPaths);

private:
    struct CachedFile {
        FileStamp stamp;
        // By the parent's path as asked for; nothing when the file holds none of the family.
        std::map<std::string, std::optional<WineRegFamily>> families;
    };

    ChunkReader m_read;
    std::map<std::string, CachedFile> m_files;
};
