// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/AsciiText.h"

#include <cstdint>
#include <cstring>
#include <optional>

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

#if defined(__GNUC__)
constexpr std::size_t BlockSize = 16;
using Block = unsigned char __attribute__((vector_size(BlockSize)));

Block LoadBlock(const char* at) {
    Block block;
    std::memcpy(&block, at, BlockSize);
    return block;
}

bool AnyLaneSet(Block lanes) {
    std::uint64_t halves[2];
    std::memcpy(halves, &lanes, BlockSize);
    return (halves[0] | halves[1]) != 0;
}

// Tests BlockSize start positions at a time for the needle's first and last byte (each with the
// case bit set); only a position where both stand is compared in full. Returns the first
// position it has not tested, or nothing when the needle was found.
std::optional<std::size_t> SearchBlocks(std::string_view text, std::string_view needle,
                                        std::size_t starts) {
    const std::size_t lastOffset = needle.size() - 1;
    const Block caseBits = Block{} + CaseBit;
    const Block firsts = Block{} + WithCaseBit(needle.front());
    const Block lasts = Block{} + WithCaseBit(needle.back());
    std::size_t start = 0;
    for (; start + BlockSize <= starts; start += BlockSize) {
        const Block candidates =
            ((LoadBlock(text.data() + start) | caseBits) == firsts) &
            ((LoadBlock(text.data() + start + lastOffset) | caseBits) == lasts);
        if (!AnyLaneSet(candidates))
            continue;
        for (std::size_t lane = 0; lane < BlockSize; ++lane) {
            if (candidates[lane] && MatchesAt(text, start + lane, needle))
                return std::nullopt;
        }
    }
    return start;
}
#else
std::optional<std::size_t> SearchBlocks(std::string_view, std::string_view, std::size_t) {
    return 0;
}
#endif

} // namespace

bool ContainsIgnoringAsciiCase(std::string_view text, std::string_view needle) {
    if (needle.empty())
        return true;
    if (text.size() < needle.size())
        return false;
    const std::size_t starts = text.size() - needle.size() + 1;
    const std::optional<std::size_t> rest = SearchBlocks(text, needle, starts);
    if (!rest)
        return true;
    const unsigned char first = WithCaseBit(needle.front());
    for (std::size_t start = *rest; start < starts; ++start) {
        if (WithCaseBit(text[start]) == first && MatchesAt(text, start, needle))
            return true;
    }
    return false;
}
