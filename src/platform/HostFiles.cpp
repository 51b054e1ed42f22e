// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/HostFiles.h"

#include <cerrno>
#include <cstring>

Outcome<std::optional<std::string>> ReadWholeFileIf(const std::string& path, std::size_t maxBytes,
                                                    const StampTaker& stamped,
                                                    const ChunkReader& read) {
    std::string content;
    bool wanted = false;
    bool tooLarge = false;
    const auto reserveWhenWanted = [&](const FileStamp& stamp) {
        wanted = stamped(stamp);
        if (wanted)
            content.reserve(static_cast<std::size_t>(stamp.size) + ReadSpareCapacity);
        return wanted;
    };
    // The file may have grown past the size first seen; the limit holds for what is read.
    const auto append = [&](std::string_view chunk) {
        tooLarge = chunk.size() > maxBytes - content.size();
        if (!tooLarge)
            content.append(chunk);
        return !tooLarge;
    };
    if (MaybeFailure failure = read(path, maxBytes, reserveWhenWanted, append))
        return *failure;
    if (tooLarge)
        return Failure{std::strerror(EFBIG)};
    return wanted ? std::optional(std::move(content)) : std::nullopt;
}

Outcome<std::string> ReadWholeFile(const std::string& path, std::size_t maxBytes) {
    Outcome<std::optional<std::string>> read =
        ReadWholeFileIf(path, maxBytes, [](const FileStamp&) { return true; });
    if (!read)
        return read.failure();
    return std::move(*std::move(read).value());
}

Outcome<std::optional<FileComparison>> CompareFileWith(const std::string& path,
                                                       std::string_view content) {
    FileComparison comparison;
    std::size_t compared = 0;
    const auto sameSize = [&](const FileStamp& stamp) {
        comparison.stamp = stamp;
        comparison.same = stamp.size == content.size();
        return comparison.same;
    };
    const auto sameBytes = [&](std::string_view chunk) {
        comparison.same = chunk == content.substr(compared, chunk.size());
        compared += chunk.size();
        return comparison.same;
    };
    if (MaybeFailure failure =
            ReadInChunks(path, std::numeric_limits<std::size_t>::max(), sameSize, sameBytes)) {
        if (NothingAt(path))
            return std::optional<FileComparison>();
        return *failure;
    }
    // A file that shrank after its size was seen ends early.
    comparison.same = comparison.same && compared == content.size();
    return std::optional(comparison);
}
