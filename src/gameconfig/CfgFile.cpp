// SPDX-License-Identifier: GPL-3.0-or-later
#include "gameconfig/CfgFile.h"

#include "platform/HostFiles.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

using namespace std::string_view_literals;

namespace {

// Positions are 32-bit signed numbers, so a longer text cannot be handled.
constexpr std::size_t MaxContentSize = std::numeric_limits<std::int32_t>::max();

constexpr std::size_t PrefixLength = NameEntryPrefix.size(); // 11

Failure NameNotFound() {
    return Failure{"CFG file is corrupted.\nSet of name NOT found."};
}

Failure NotWritten(const std::string& path, const std::string& reason) {
    return Failure{"CFG file (" + path + ") could not be written.\n" + reason};
}

// A quote would end the value early, and a line end (or a NUL, which ends the line for the game)
// would end the line: what follows would run as game commands. Any other byte is part of the
// value, as the game reads it, so that whatever name the file held can be saved back.
bool IsSafeTag(std::string_view tag) {
    return tag.find_first_of("\"\r\n\0"sv) == std::string_view::npos;
}

// True when `entry` is what LocateNameEntry found in `content`: the prefix, the value and the
// closing quote stand where it says.
bool DescribesContent(const NameEntry& entry, std::string_view content) {
    if (entry.NamePos < 1)
        return false;
    const std::size_t start = static_cast<std::size_t>(entry.NamePos) - 1;
    const std::size_t closingQuote = start + PrefixLength + entry.RawName.size();
    return closingQuote < content.size() && content[closingQuote] == '"' &&
           content.substr(start, PrefixLength) == NameEntryPrefix &&
           content.substr(start + PrefixLength, entry.RawName.size()) == entry.RawName;
}

// Everything that must hold before `tag` may take the place of the entry's value in `content`.
MaybeFailure RefusedTag(std::string_view content, const NameEntry& entry, std::string_view tag) {
    if (!IsSafeTag(tag))
        return Failure{UnsafeTagMessage};
    if (!DescribesContent(entry, content))
        return NameNotFound();
    return std::nullopt;
}

std::size_t ValueStart(const NameEntry& entry) {
    return static_cast<std::size_t>(entry.NamePos) - 1 + PrefixLength;
}

// Puts `tag` in place of the entry's value; everything before and after it stays as it is.
void PutTag(std::string& content, const NameEntry& entry, std::string_view tag) {
    content.replace(ValueStart(entry), entry.RawName.size(), tag);
}

// The first prefix at the start of the text or of a line (after LF or CR); one inside a line
// (a comment, a bind that echoes it) is not the game's setting.
std::size_t FindPrefixAtLineStart(std::string_view content) {
    for (std::size_t at = content.find(NameEntryPrefix); at != std::string_view::npos;
         at = content.find(NameEntryPrefix, at + 1)) {
        if (at == 0 || content[at - 1] == '\n' || content[at - 1] == '\r')
            return at;
    }
    return std::string_view::npos;
}

} // namespace

Outcome<std::string> ReadCfgFile(const std::string& path) {
    Outcome<std::string> content = ReadWholeFile(path, MaxContentSize);
    if (!content)
        return Failure{"CFG file (" + path + ") could not be read.\n" + content.failure().message};
    return content;
}

Outcome<NameEntry> LocateNameEntry(std::string_view content) {
    if (content.size() > MaxContentSize)
        return NameNotFound();
    const std::size_t prefix = FindPrefixAtLineStart(content);
    if (prefix == std::string_view::npos)
        return NameNotFound();

    // The value ends at the next quote, which must stand on the entry's own line.
    const std::size_t valueStart = prefix + PrefixLength;
    const std::size_t closingQuote = content.find_first_of("\"\n\r", valueStart);
    if (closingQuote == std::string_view::npos || content[closingQuote] != '"')
        return NameNotFound();
    const std::size_t lineFeed = content.find('\n', closingQuote);
    if (lineFeed == std::string_view::npos)
        return NameNotFound();

    NameEntry entry;
    entry.NamePos = static_cast<std::int32_t>(prefix + 1);
    entry.NameEnd = static_cast<std::int32_t>(lineFeed + 1);
    entry.RawName = std::string(content.substr(valueStart, closingQuote - valueStart));
    return entry;
}

Outcome<std::string> ContentWithTag(std::string_view content, const NameEntry& entry,
                                    std::string_view tag) {
    if (MaybeFailure refused = RefusedTag(content, entry, tag))
        return *refused;
    std::string result(content);
    PutTag(result, entry, tag);
    return result;
}

MaybeFailure SaveCfgFile(const std::string& path, std::string& content, const NameEntry& entry,
                         std::string_view tag) {
    if (MaybeFailure refused = RefusedTag(content, entry, tag))
        return refused;
    if (content.size() - entry.RawName.size() + tag.size() > MaxContentSize)
        return NotWritten(path, std::strerror(EFBIG));
    // The game writes the file when it quits, so it may have changed while the user was editing,
    // or may change while the new file is written: the file is checked now, and its stamp once
    // more right before it is replaced. Only a file that is gone holds nothing that writing could
    // lose; one that cannot be read may have changed all the same.
    const Outcome<std::optional<FileComparison>> onDisk = CompareFileWith(path, content);
    if (!onDisk)
        return NotWritten(path, onDisk.failure().message);
    if (onDisk.value() && !onDisk.value()->same)
        return NotWritten(path, ChangedSinceRead);
    const std::optional<FileStamp> checked =
        onDisk.value() ? std::optional<FileStamp>(onDisk.value()->stamp) : std::nullopt;

    // The tag goes into the caller's text in place, and the old value back if the file cannot be
    // replaced: a copy of a large file would cost as much as writing it.
    PutTag(content, entry, tag);
    auto restore = [&] { content.replace(ValueStart(entry), tag.size(), entry.RawName); };
    MaybeFailure failure;
    try {
        failure = ReplaceWholeFile(path, content, checked);
    } catch (...) {
        restore();
        throw;
    }
    if (failure) {
        restore();
        return NotWritten(path, failure->message == FileChangedMeanwhile ? ChangedSinceRead
                                                                         : failure->message);
    }
    return std::nullopt;
}
