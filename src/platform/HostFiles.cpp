// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/HostFiles.h"

#include <cerrno>
#include <cstring>

Outcome<std::string> ReadWholeFile(const std::string& path, std::size_t maxBytes) {
    std::string content;
    bool tooLarge = false;
    const auto reserve = [&](std::uintmax_t size) {
        content.reserve(static_cast<std::size_t>(size) + ReadSpareCapacity);
        return true;
    };
    // The file may have grown past the size first seen; the limit holds for what is read.
    const auto append = [&](std::string_view chunk) {
        tooLarge = chunk.size() > maxBytes - content.size();
        if (!tooLarge)
            content.append(chunk);
        return !tooLarge;
    };
    if (MaybeFailure failure = ReadInChunks(path, maxBytes, reserve, append))
        return *failure;
    if (tooLarge)
        return Failure{std::strerror(EFBIG)};
    return content;
}

std::optional<bool> FileHolds(const std::string& path, std::string_view content) {
    bool same = true;
    std::size_t compared = 0;
    const auto sameSize = [&](std::uintmax_t size) {
        same = size == content.size();
        return same;
    };
    const auto sameBytes = [&](std::string_view chunk) {
        same = chunk == content.substr(compared, chunk.size());
        compared += chunk.size();
        return same;
    };
    if (ReadInChunks(path, std::numeric_limits<std::size_t>::max(), sameSize, sameBytes))
        return std::nullopt;
    // A file that shrank after its size was seen ends early.
    return same && compared == content.size();
}
