// SPDX-License-Identifier: GPL-3.0-or-later
// Locate-and-save over any config file: the input is the whole file. Whatever it holds, locating
// either fails with the one message or finds the entry that begins the first line, and putting a
// new tag in its place keeps every byte outside the value and is found again by the next read.

#include "FuzzCheck.h"
#include "gameconfig/CfgFile.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

const std::string NotFound = "CFG file is corrupted.\nSet of name NOT found.";
const std::string UnsafeTag = "The code must not contain quotes, line breaks or NUL characters.";

// A quote ends the value; CR, LF and NUL end the line.
bool EndsValueOrLine(char c) {
    return c == '"' || c == '\r' || c == '\n' || c == '\0';
}

bool IsSafeTag(std::string_view tag) {
    return std::none_of(tag.begin(), tag.end(), EndsValueOrLine);
}

// The entry as the game sees it, line by line: the first line (ended by LF or CR) that begins
// with the prefix, its value up to the first quote on that line, and the first LF after that
// quote. None when that line has no quote or no LF follows it.
std::optional<NameEntry> ExpectedEntry(std::string_view content) {
    for (std::size_t lineStart = 0; lineStart < content.size();) {
        const std::size_t lineEnd =
            std::min(content.find_first_of("\n\r", lineStart), content.size());
        const std::string_view line = content.substr(lineStart, lineEnd - lineStart);
        if (line.starts_with(NameEntryPrefix)) {
            const std::size_t quote = line.find('"', NameEntryPrefix.size());
            if (quote == std::string_view::npos)
                return std::nullopt;
            const std::size_t lineFeed = content.find('\n', lineStart + quote);
            if (lineFeed == std::string_view::npos)
                return std::nullopt;
            const std::size_t valueStart = NameEntryPrefix.size();
            return NameEntry{static_cast<std::int32_t>(lineStart + 1),
                             static_cast<std::int32_t>(lineFeed + 1),
                             std::string(line.substr(valueStart, quote - valueStart))};
        }
        lineStart = lineEnd + 1;
    }
    return std::nullopt;
}

// New tags of every kind: the usual, none, the old value (a save that changes nothing), a long
// one, and some of the input's own bytes as they are (mostly refused) and made safe.
std::vector<std::string> TagsFor(std::string_view content, const NameEntry& entry) {
    std::string own(content.substr(0, 40));
    std::string madeSafe = own;
    std::replace_if(madeSafe.begin(), madeSafe.end(), EndsValueOrLine, '^');
    std::string reversed = entry.RawName;
    std::reverse(reversed.begin(), reversed.end());
    return {"^1Ro^4ok", "", entry.RawName, reversed, std::string(300, '^'), own, madeSafe};
}

void CheckSave(std::string_view content, const NameEntry& entry, const std::string& tag) {
    const Outcome<std::string> saved = ContentWithTag(content, entry, tag);
    if (!IsSafeTag(tag)) {
        FUZZ_CHECK(!saved.ok() && saved.failure().message == UnsafeTag);
        return;
    }
    FUZZ_CHECK(saved.ok());
    const std::string& after = saved.value();
    const std::size_t valueStart =
        static_cast<std::size_t>(entry.NamePos) - 1 + NameEntryPrefix.size();
    const std::size_t rest = valueStart + entry.RawName.size();

    // Every byte before the value and after it is kept, and the tag stands between them.
    FUZZ_CHECK(after.size() == content.size() - entry.RawName.size() + tag.size());
    FUZZ_CHECK(std::string_view(after).substr(0, valueStart) == content.substr(0, valueStart));
    FUZZ_CHECK(std::string_view(after).substr(valueStart, tag.size()) == tag);
    FUZZ_CHECK(std::string_view(after).substr(valueStart + tag.size()) == content.substr(rest));
    if (tag == entry.RawName)
        FUZZ_CHECK(after == content);

    // The next read finds the same entry with the new value.
    const Outcome<NameEntry> again = LocateNameEntry(after);
    FUZZ_CHECK(again.ok());
    FUZZ_CHECK(again.value().NamePos == entry.NamePos);
    FUZZ_CHECK(again.value().RawName == tag);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view content(reinterpret_cast<const char*>(data), size);
    const Outcome<NameEntry> entry = LocateNameEntry(content);
    const std::optional<NameEntry> expected = ExpectedEntry(content);
    FUZZ_CHECK(entry.ok() == expected.has_value());
    if (!entry) {
        FUZZ_CHECK(entry.failure().message == NotFound);
        return 0;
    }
    FUZZ_CHECK(entry.value().NamePos == expected->NamePos);
    FUZZ_CHECK(entry.value().NameEnd == expected->NameEnd);
    FUZZ_CHECK(entry.value().RawName == expected->RawName);
    for (const std::string& tag : TagsFor(content, entry.value()))
        CheckSave(content, entry.value(), tag);

    // An entry that does not describe the text is refused, not applied somewhere else.
    NameEntry stale = entry.value();
    stale.RawName += 'x';
    const Outcome<std::string> refused = ContentWithTag(content, stale, "^2X");
    FUZZ_CHECK(!refused.ok() ||
               content.substr(static_cast<std::size_t>(stale.NamePos) - 1 + NameEntryPrefix.size(),
                              stale.RawName.size()) == stale.RawName);
    return 0;
}
