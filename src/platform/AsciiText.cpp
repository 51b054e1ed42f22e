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

// The lanes of the BlockSize start positions from `at` where the needle's first and last bytes
// stand (with the case bit set in each).
Block CandidatesAt(const char* at, std::size_t lastOffset, Block firsts, Block lasts) {
    const Block caseBits = Block{} + CaseBit;
    return ((LoadBlock(at) | caseBits) == firsts) &
           ((LoadBlock(at + lastOffset) | caseBits) == lasts);
}

// Tests four blocks of start positions at a time, with one branch on them all (a branch for
// each block would cost more than the test itself); only where a candidate stands are the
// positions compared in full. Returns the first position it has not tested, or nothing when the
// needle was found.
std::optional<std::size_t> SearchBlocks(std::string_view text, std::string_view needle,
                                        std::size_t starts) {
    constexpr std::size_t StepSize = 4 * BlockSize;
    const std::size_t lastOffset = needle.size() - 1;
    const Block firsts = Block{} + WithCaseBit(needle.front());
    const Block lasts = Block{} + WithCaseBit(needle.back());
    std::size_t start = 0;
    for (; start + StepSize <= starts; start += StepSize) {
        const char* at = text.data() + start;
        const Block candidates = CandidatesAt(at, lastOffset, firsts, lasts) |
                                 CandidatesAt(at + BlockSize, lastOffset, firsts, lasts) |
                                 CandidatesAt(at + 2 * BlockSize, lastOffset, firsts, lasts) |
                                 CandidatesAt(at + 3 * BlockSize, lastOffset, firsts, lasts);
        if (!AnyLaneSet(candidates))
            continue;
        for (std::size_t position = start; position < start + StepSize; ++position) {
            if (MatchesAt(text, position, needle))
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
