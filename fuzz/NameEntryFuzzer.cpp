// SPDX-License-Identifier: GPL-3.0-or-later
// Locate-and-save over any config file: the input is the whole file. Whatever it holds, locating
// either fails with the one message or finds the first entry, and putting a new tag in its place
// keeps every byte outside the value and is found again by the next read.

#include "FuzzCheck.h"
#include "gameconfig/CfgFile.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

const std::string NotFound = "CFG file is corrupted.\nSet of name NOT found.";
const std::string UnsafeTag = "The code must not contain quotes or control characters.";

bool IsSafeTag(std::string_view tag) {
    return std::none_of(tag.begin(), tag.end(),
                        [](char c) { return c == '"' || static_cast<unsigned char>(c) < 32; });
}

// Locating fails exactly when there is no prefix, no LF after it, or no room for a closing quote.
void CheckFailure(std::string_view content, const Failure& failure) {
    FUZZ_CHECK(failure.message == NotFound);
    const std::size_t prefix = content.find(NameEntryPrefix);
    if (prefix == std::string_view::npos)
        return;
    const std::size_t valueStart = prefix + NameEntryPrefix.size();
    const std::size_t lineFeed = content.find('\n', valueStart);
    if (lineFeed == std::string_view::npos)
        return;
    const std::string_view lineEnd = content.substr(valueStart, lineFeed - valueStart + 1);
    FUZZ_CHECK(lineEnd == "\n" || lineEnd == "\r\n");
}

// The entry is the first prefix and the first LF after it; the value is what lies between them
// less the closing quote, and less a CR before the LF.
void CheckEntry(std::string_view content, const NameEntry& entry) {
    const std::size_t prefix = content.find(NameEntryPrefix);
    FUZZ_CHECK(prefix != std::string_view::npos);
    FUZZ_CHECK(entry.NamePos == static_cast<std::int32_t>(prefix + 1));
    const std::size_t valueStart = prefix + NameEntryPrefix.size();
    const std::size_t lineFeed = content.find('\n', valueStart);
    FUZZ_CHECK(lineFeed != std::string_view::npos);
    FUZZ_CHECK(entry.NameEnd == static_cast<std::int32_t>(lineFeed + 1));
    const std::size_t lineEnd = lineFeed - (content[lineFeed - 1] == '\r' ? 1 : 0);
    FUZZ_CHECK(lineEnd > valueStart);
    FUZZ_CHECK(entry.RawName == content.substr(valueStart, lineEnd - 1 - valueStart));
}

// New tags of every kind: the usual, none, the old value (a save that changes nothing), a long
// one, and some of the input's own bytes as they are (mostly refused) and made safe.
std::vector<std::string> TagsFor(std::string_view content, const NameEntry& entry) {
    std::string own(content.substr(0, 40));
    std::string madeSafe = own;
    std::replace_if(
        madeSafe.begin(), madeSafe.end(),
        [](char c) { return c == '"' || static_cast<unsigned char>(c) < 32; }, '^');
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
    if (!entry) {
        CheckFailure(content, entry.failure());
        return 0;
    }
    CheckEntry(content, entry.value());
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
