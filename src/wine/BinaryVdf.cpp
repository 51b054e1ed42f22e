// SPDX-License-Identifier: GPL-3.0-or-later
#include "wine/Vdf.h"

#include <cstdint>

namespace {

// Real files nest three levels; the limit keeps a hostile file from exhausting the stack.
constexpr int MaxDepth = 32;

enum Type : unsigned char {
    Block = 0x00,
    Text = 0x01,
    Int32 = 0x02,
    Float32 = 0x03,
    UInt64 = 0x07,
    BlockEnd = 0x08,
    Int64 = 0x0A,
};

class BinaryVdfParser {
public:
    explicit BinaryVdfParser(std::string_view bytes) : m_bytes(bytes) {}

    std::optional<std::vector<VdfEntry>> parseFile() {
        std::vector<VdfEntry> entries;
        if (!parseEntries(entries, 0) || m_pos != m_bytes.size())
            return std::nullopt;
        return entries;
    }

private:
    // Reads entries up to the 0x08 that closes the block; at the top, where the file ends too.
    bool parseEntries(std::vector<VdfEntry>& entries, int depth) {
        while (m_pos < m_bytes.size()) {
            const auto type = static_cast<unsigned char>(m_bytes[m_pos++]);
            if (type == BlockEnd)
                return true;
            VdfEntry entry;
            if (!readText(entry.key) || !readValue(type, entry, depth))
                return false;
            entries.push_back(std::move(entry));
        }
        return depth == 0; // else cut short: a block that is never closed
    }

    bool readValue(unsigned char type, VdfEntry& entry, int depth) {
        switch (type) {
        case Block:
            entry.isBlock = true;
            return depth < MaxDepth && parseEntries(entry.children, depth + 1);
        case Text:
            return readText(entry.value);
        case Int32:
        case Float32:
            return readNumber(4, entry.value);
        case UInt64:
        case Int64:
            return readNumber(8, entry.value);
        default:
            return false;
        }
    }

    bool readText(std::string& text) {
        const std::size_t end = m_bytes.find('\0', m_pos);
        if (end == std::string_view::npos)
            return false;
        text = std::string(m_bytes.substr(m_pos, end - m_pos));
        m_pos = end + 1;
        return true;
    }

    // `size` bytes, least significant first, as the decimal digits of their unsigned value.
    bool readNumber(std::size_t size, std::string& text) {
        if (m_bytes.size() - m_pos < size)
            return false;
        std::uint64_t number = 0;
        for (std::size_t i = size; i-- > 0;)
            number = number << 8 | static_cast<unsigned char>(m_bytes[m_pos + i]);
        m_pos += size;
        text = std::to_string(number);
        return true;
    }

    std::string_view m_bytes;
    std::size_t m_pos = 0;
};

} // namespace

std::optional<std::vector<VdfEntry>> ParseBinaryVdf(std::string_view bytes) {
    return BinaryVdfParser(bytes).parseFile();
}
