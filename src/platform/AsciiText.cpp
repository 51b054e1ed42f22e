// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/AsciiText.h"

#include <cstddef>

namespace {

// Setting this bit makes an ASCII letter lower case. Other bytes change too ('@' becomes '`'),
// so a byte that matches with it set is only a candidate, which the exact test then judges.
constexpr unsigned char CaseBit = 0x20;

unsigned char WithCaseBit(char c) {
    return static_cast<unsigned char>(static_cast<unsigned char>(c) | CaseBit);
}

bool MatchesAt(std::string_view text, std::size_t start, std::string_view needle) {
    return SameIgnoringAsciiCase(text.substr(start, needle.size()), needle);
}

// Start positions tested together, with no branch among them: compilers turn such a loop into
// vector instructions, which pass over a registry file of megabytes several times faster than a
// search that stops at every candidate (memchr for the needle's first letter, say, since letters
// are common).
constexpr std::size_t BlockSize = 64;

} // namespace

bool ContainsIgnoringAsciiCase(std::string_view text, std::string_view needle) {
    if (needle.empty())
        return true;
    if (text.size() < needle.size())
        return false;
    const std::size_t starts = text.size() - needle.size() + 1;
    const std::size_t last = needle.size() - 1;
    const unsigned char first = WithCaseBit(needle.front());
    const unsigned char final = WithCaseBit(needle.back());
    std::size_t block = 0;
    for (; block + BlockSize <= starts; block += BlockSize) {
        const auto* at = reinterpret_cast<const unsigned char*>(text.data() + block);
        unsigned char candidate = 0;
        for (std::size_t i = 0; i < BlockSize; ++i)
            candidate |= ((at[i] | CaseBit) == first) & ((at[i + last] | CaseBit) == final);
        for (std::size_t start = block; candidate && start < block + BlockSize; ++start) {
            if (MatchesAt(text, start, needle))
                return true;
        }
    }
    for (std::size_t start = block; start < starts; ++start) {
        if (MatchesAt(text, start, needle))
            return true;
    }
    return false;
}
