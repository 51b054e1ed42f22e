// SPDX-License-Identifier: GPL-3.0-or-later
#include "wine/WineRegFile.h"

#include "platform/AsciiText.h"
#include "platform/RegistryApi.h"
#include "platform/UnicodeText.h"

#include <algorithm>

namespace {

constexpr std::string_view FileSignature = "WINE REGISTRY Version 2";

// Hands out a text's lines one by one, without the LF and without a CR right before it.
class LineReader {
public:
    explicit LineReader(std::string_view text) : m_rest(text) {}

    bool next(std::string_view& line) {
        if (m_rest.empty())
            return false;
        const std::size_t lineFeed = m_rest.find('\n');
        line = m_rest.substr(0, lineFeed);
        if (lineFeed == std::string_view::npos) {
            m_rest = {};
        } else {
            m_rest.remove_prefix(lineFeed + 1);
            if (!line.empty() && line.back() == '\r')
                line.remove_suffix(1);
        }
        return true;
    }

private:
    std::string_view m_rest;
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view SkipSpaces(std::string_view text) {
    while (!text.empty() && IsAsciiSpace(text.front()))
        text.remove_prefix(1);
    return text;
}

std::string_view SkipBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    return text;
}

bool ConsumePrefix(std::string_view& text, std::string_view prefix) {
    if (!text.starts_with(prefix))
        return false;
    text.remove_prefix(prefix.size());
    return true;
}

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Takes the hex digits at the start of `text` (at least one) as a number no larger than `limit`.
std::optional<std::uint32_t> TakeHexNumber(std::string_view& text, std::uint32_t limit) {
    std::uint64_t value = 0;
    std::size_t digits = 0;
    while (digits < text.size() && HexDigitValue(text[digits]) >= 0) {
        value = value * 16 + static_cast<unsigned>(HexDigitValue(text[digits]));
        if (value > limit)
            return std::nullopt;
        ++digits;
    }
    if (digits == 0)
        return std::nullopt;
    text.remove_prefix(digits);
    return static_cast<std::uint32_t>(value);
}

std::optional<char16_t> ControlEscape(char c) {
    switch (c) {
    case 'a':
        return u'\a';
    case 'b':
        return u'\b';
    case 'e':
        return char16_t{0x1B};
    case 'f':
        return u'\f';
    case 'n':
        return u'\n';
    case 'r':
        return u'\r';
    case 't':
        return u'\t';
    case 'v':
        return u'\v';
    default:
        return std::nullopt;
    }
}

// Decodes the escape whose backslash has just been passed; returns the bytes it takes.
std::size_t DecodeEscape(std::string_view escape, std::u16string& out) {
    const char first = escape.front();
    if (const auto control = ControlEscape(first)) {
        out += *control;
        return 1;
    }
    if (first == 'x' || (first >= '0' && first <= '7')) {
        const bool isHex = first == 'x';
        const std::size_t start = isHex ? 1 : 0;
        const std::size_t maxDigits = isHex ? 4 : 3;
        const unsigned base = isHex ? 16 : 8;
        unsigned value = 0;
        std::size_t digits = 0;
        while (digits < maxDigits && start + digits < escape.size()) {
            const int digit = HexDigitValue(escape[start + digits]);
            if (digit < 0 || static_cast<unsigned>(digit) >= base)
                break;
            value = value * base + static_cast<unsigned>(digit);
            ++digits;
        }
        if (digits > 0) {
            out += static_cast<char16_t>(value);
            return start + digits;
        }
        // "\x" without a digit is a plain x, like any other escaped character
    }
    const DecodedCharacter itself = DecodeUtf8(escape);
    AppendUtf16(out, itself.codePoint);
    return itself.length;
}

// Decodes an escaped name or string into `text` up to the first unescaped `closing` character
// and returns the bytes taken, the closing character included; nothing when that character
// never comes.
std::optional<std::size_t> Unescape(std::string_view source, char closing, std::u16string& text) {
    text.clear();
    std::size_t i = 0;
    while (i < source.size()) {
        const char c = source[i];
        if (c == closing)
            return i + 1;
        if (c == '\\') {
            ++i;
            if (i == source.size())
                break;
            i += DecodeEscape(source.substr(i), text);
        } else if (static_cast<unsigned char>(c) < 0x80) {
            text += static_cast<char16_t>(c);
            ++i;
        } else {
            const DecodedCharacter decoded = DecodeUtf8(source.substr(i));
            AppendUtf16(text, decoded.codePoint);
            i += decoded.length;
        }
    }
    return std::nullopt;
}

// Walks a key path as lookups compare it: code points folded, empty components left out, until
// `visit` returns false.
template <class Visit> void WalkKeyPath(std::u16string_view path, Visit visit) {
    bool separatorPending = false;
    bool started = false;
    ForEachCodePoint(path, [&](char32_t codePoint) {
        const char32_t c = FoldCase(codePoint);
        if (c == U'\\') {
            separatorPending = started;
            return true;
        }
        if (separatorPending && !visit(U'\\'))
            return false;
        separatorPending = false;
        started = true;
        return visit(c);
    });
}

std::u32string NormalizedKeyPath(std::u16string_view path) {
    std::u32string normalized;
    WalkKeyPath(path, [&normalized](char32_t c) {
        normalized += c;
        return true;
    });
    return normalized;
}

enum class KeyRelation { Other, Same, Below };

// Where a key path read from the file stands to the wanted one (normalized). A key below it also
// gives the name of the wanted key's child that it is or lies below.
struct KeyLinePlace {
    KeyRelation relation = KeyRelation::Other;
    std::u32string child;
    bool isChild = false; // the key is that child itself
};

// Stops at the first difference, since nearly every key of a big file differs early.
KeyLinePlace PlaceOf(std::u16string_view path, std::u32string_view wanted) {
    KeyLinePlace place;
    std::size_t matched = 0;
    bool differs = false;
    bool inChild = false;
    bool deeper = false;
    WalkKeyPath(path, [&](char32_t c) {
        if (inChild) {
            deeper = c == U'\\';
            if (!deeper)
                place.child += c;
            return !deeper;
        }
        if (matched < wanted.size() && c == wanted[matched]) {
            ++matched;
            return true;
        }
        // Past the wanted path: a separator leads to a child; below the root, a name is one.
        differs = matched < wanted.size() || (!wanted.empty() && c != U'\\');
        inChild = !differs;
        if (inChild && wanted.empty())
            place.child += c;
        return !differs;
    });
    if (differs || (!inChild && matched < wanted.size()))
        return place;
    place.relation = inChild ? KeyRelation::Below : KeyRelation::Same;
    place.isChild = inChild && !deeper;
    return place;
}

std::optional<WineRegValue> ParseStringData(std::string_view text, std::uint32_t type) {
    std::u16string string;
    if (!Unescape(text, '"', string))
        return std::nullopt;
    string += u'\0';
    return WineRegValue{type, Utf16ToLittleEndian(string)};
}

std::optional<WineRegValue> ParseDwordData(std::string_view text) {
    const auto number = TakeHexNumber(text, 0xFFFFFFFFu);
    if (!number)
        return std::nullopt;
    std::string bytes;
    for (int shift = 0; shift < 32; shift += 8)
        bytes += static_cast<char>((*number >> shift) & 0xFF);
    return WineRegValue{RegTypeDword, bytes};
}

// "aa,bb,..." with a trailing backslash carrying the list on to the next line.
std::optional<WineRegValue> ParseHexData(std::string_view text, std::uint32_t type,
                                         LineReader& lines) {
    WineRegValue value{type, {}};
    for (;;) {
        text = SkipSpaces(text);
        while (!text.empty() && HexDigitValue(text.front()) >= 0) {
            const auto byte = TakeHexNumber(text, 0xFF);
            if (!byte)
                return std::nullopt;
            value.data += static_cast<char>(*byte);
            text = SkipSpaces(text);
            ConsumePrefix(text, ",");
            text = SkipSpaces(text);
        }
        if (text.empty())
            return value;
        if (text.front() != '\\' || !lines.next(text))
            return std::nullopt;
    }
}

std::optional<WineRegValue> ParseData(std::string_view text, LineReader& lines) {
    struct StringForm {
        std::string_view tag;
        std::uint32_t type;
    };
    static constexpr StringForm stringForms[] = {{"\"", RegTypeSz},
                                                 {"str:\"", RegTypeSz},
                                                 {"str(2):\"", RegTypeExpandSz},
                                                 {"str(7):\"", RegTypeMultiSz}};
    for (const StringForm& form : stringForms) {
        if (ConsumePrefix(text, form.tag))
            return ParseStringData(text, form.type);
    }
    if (ConsumePrefix(text, "dword:"))
        return ParseDwordData(text);
    if (ConsumePrefix(text, "hex:"))
        return ParseHexData(text, RegTypeBinary, lines);
    if (ConsumePrefix(text, "hex(")) {
        const auto type = TakeHexNumber(text, 0xFFFFFFFFu);
        if (!type || !ConsumePrefix(text, "):"))
            return std::nullopt;
        return ParseHexData(text, *type, lines);
    }
    return std::nullopt;
}

struct NamedValue {
    std::u16string name;
    WineRegValue value;
};

// A `"name"=<data>` or `@=<data>` line, with the lines its data continues on.
std::optional<NamedValue> ParseValueLine(std::string_view line, LineReader& lines) {
    NamedValue named;
    if (line.front() == '"') {
        const auto nameLength = Unescape(line.substr(1), '"', named.name);
        if (!nameLength)
            return std::nullopt;
        line.remove_prefix(1 + *nameLength);
    } else {
        line.remove_prefix(1); // '@', the default value, whose name is empty
    }
    line = SkipBlanks(line);
    if (!ConsumePrefix(line, "="))
        return std::nullopt;
    auto value = ParseData(SkipBlanks(line), lines);
    if (!value)
        return std::nullopt;
    named.value = std::move(*value);
    return named;
}

} // namespace

const WineRegValue* WineRegKey::find(std::string_view name) const {
    const std::u32string folded = FoldedCodePoints(Utf8ToUtf16(name));
    const auto entry = std::find_if(m_values.begin(), m_values.end(),
                                    [&folded](const Entry& e) { return e.foldedName == folded; });
    return entry == m_values.end() ? nullptr : &entry->value;
}

void WineRegKey::set(std::u16string_view name, WineRegValue value) {
    std::u32string folded = FoldedCodePoints(name);
    const auto entry = std::find_if(m_values.begin(), m_values.end(),
                                    [&folded](const Entry& e) { return e.foldedName == folded; });
    if (entry != m_values.end())
        entry->value = std::move(value);
    else
        m_values.push_back({std::move(folded), std::move(value)});
}

const WineRegKey* WineRegFamily::child(std::string_view name) const {
    const auto found = children.find(FoldedCodePoints(Utf8ToUtf16(name)));
    return found == children.end() ? nullptr : &found->second;
}

std::optional<WineRegFamily> FindWineRegFamily(std::string_view fileText,
                                               std::string_view keyPath) {
    LineReader lines(fileText);
    std::string_view line;
    if (!lines.next(line) || line != FileSignature)
        return std::nullopt;

    const std::u32string wanted = NormalizedKeyPath(Utf8ToUtf16(keyPath));
    WineRegFamily family;
    std::u16string path;            // of the latest key line, kept to spare an allocation per line
    WineRegKey* valuesGo = nullptr; // where the values that follow belong, if they are wanted
    while (lines.next(line)) {
        line = SkipSpaces(line);
        if (line.empty())
            continue;
        if (line.front() == '[') {
            const bool wellFormed = Unescape(line.substr(1), ']', path).has_value();
            KeyLinePlace place = wellFormed ? PlaceOf(path, wanted) : KeyLinePlace();
            valuesGo = nullptr;
            if (place.relation == KeyRelation::Other)
                continue;
            if (!family.key)
                family.key.emplace();
            if (place.relation == KeyRelation::Same)
                valuesGo = &*family.key;
            else if (WineRegKey& child = family.children[std::move(place.child)]; place.isChild)
                valuesGo = &child;
        } else if (valuesGo && (line.front() == '"' || line.front() == '@')) {
            if (auto named = ParseValueLine(line, lines))
                valuesGo->set(named->name, std::move(named->value));
        }
        // comments (;), options (#time=, #class=, #link, #arch=) and other keys' values are
        // skipped; so are the continuation lines of their hex lists, which start with a hex digit
    }
    return family;
}

std::optional<WineRegKey> FindWineRegKey(std::string_view fileText, std::string_view keyPath) {
    std::optional<WineRegFamily> family = FindWineRegFamily(fileText, keyPath);
    return family ? std::move(family->key) : std::nullopt;
}

bool MayHoldKey(std::string_view fileText, std::string_view keyPath) {
    const std::string_view trimmed = keyPath.substr(0, keyPath.find_last_not_of('\\') + 1);
    const std::string_view name = trimmed.substr(trimmed.rfind('\\') + 1);
    const bool writtenAsItIs = std::all_of(name.begin(), name.end(), [](char c) {
        return c >= ' ' && c <= '~' && c != '\\' && c != '[' && c != ']' && c != '"';
    });
    if (name.empty() || !writtenAsItIs)
        return true;
    return ContainsIgnoringAsciiCase(fileText, name);
}
