// SPDX-License-Identifier: GPL-3.0-or-later
#include "wine/Vdf.h"

#include "platform/AsciiText.h"

#include <algorithm>

namespace {

// Real files nest four levels at most; the limit keeps a hostile file from exhausting the stack.
constexpr int MaxDepth = 32;

bool EndsBareWord(char c) {
    return IsAsciiSpace(c) || c == '{' || c == '}' || c == '"';
}

// The character that a backslash and `c` stand for. An unknown escape keeps its backslash, so
// that a Windows path written without doubled backslashes survives.
void AppendEscaped(std::string& text, char c) {
    switch (c) {
    case 'n':
        text += '\n';
        break;
    case 't':
        text += '\t';
        break;
    case '\\':
    case '"':
        text += c;
        break;
    default:
        text += '\\';
        text += c;
    }
}

class VdfParser {
public:
    explicit VdfParser(std::string_view text) : m_text(text) {
        constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";
        if (m_text.substr(0, byteOrderMark.size()) == byteOrderMark)
            m_pos = byteOrderMark.size();
    }

    std::optional<std::vector<VdfEntry>> parseFile() {
        std::vector<VdfEntry> entries;
        if (!parseEntries(entries, 0))
            return std::nullopt;
        return entries;
    }

private:
    enum class Token { End, Open, Close, Text, Malformed };

    // Reads entries up to the closing brace of a block, or up to the end of the text at the top.
    bool parseEntries(std::vector<VdfEntry>& entries, int depth) {
        for (;;) {
            const Token keyToken = next();
            if (keyToken == Token::End)
                return depth == 0;
            if (keyToken == Token::Close)
                return depth > 0;
            if (keyToken != Token::Text)
                return false;

            VdfEntry entry;
            entry.key = std::move(m_tokenText);
            const Token valueToken = next();
            if (valueToken == Token::Text) {
                entry.value = std::move(m_tokenText);
            } else if (valueToken == Token::Open && depth < MaxDepth) {
                entry.isBlock = true;
                if (!parseEntries(entry.children, depth + 1))
                    return false;
            } else {
                return false;
            }
            if (!skipConditional())
                return false;
            entries.push_back(std::move(entry));
        }
    }

    void skipSpaceAndComments() {
        while (m_pos < m_text.size()) {
            if (IsAsciiSpace(m_text[m_pos])) {
                ++m_pos;
            } else if (m_text.substr(m_pos, 2) == "//") {
                m_pos = std::min(m_text.find('\n', m_pos), m_text.size());
            } else {
                return;
            }
        }
    }

    // "[$WIN32]" and the like after an entry; false when the bracket is never closed.
    bool skipConditional() {
        skipSpaceAndComments();
        if (m_pos >= m_text.size() || m_text[m_pos] != '[')
            return true;
        const std::size_t close = m_text.find(']', m_pos);
        if (close == std::string_view::npos)
            return false;
        m_pos = close + 1;
        return true;
    }

    Token next() {
        skipSpaceAndComments();
        if (m_pos >= m_text.size())
            return Token::End;
        const char c = m_text[m_pos];
        if (c == '{' || c == '}') {
            ++m_pos;
            return c == '{' ? Token::Open : Token::Close;
        }
        return c == '"' ? readQuoted() : readBareWord();
    }

    Token readQuoted() {
        m_tokenText.clear();
        for (++m_pos; m_pos < m_text.size(); ++m_pos) {
            const char c = m_text[m_pos];
            if (c == '"') {
                ++m_pos;
                return Token::Text;
            }
            if (c == '\\' && m_pos + 1 < m_text.size()) {
                AppendEscaped(m_tokenText, m_text[++m_pos]);
            } else {
                m_tokenText += c;
            }
        }
        return Token::Malformed; // the text ended inside the string
    }

    Token readBareWord() {
        const std::size_t start = m_pos;
        while (m_pos < m_text.size() && !EndsBareWord(m_text[m_pos]))
            ++m_pos;
        m_tokenText = std::string(m_text.substr(start, m_pos - start));
        return Token::Text;
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
    std::string m_tokenText;
};

} // namespace

const VdfEntry* FindVdfEntry(const std::vector<VdfEntry>& entries, std::string_view key) {
    const auto found = std::find_if(entries.begin(), entries.end(), [&](const VdfEntry& entry) {
        return SameIgnoringAsciiCase(entry.key, key);
    });
    return found == entries.end() ? nullptr : &*found;
}

std::optional<std::vector<VdfEntry>> ParseVdf(std::string_view text) {
    return VdfParser(text).parseFile();
}
