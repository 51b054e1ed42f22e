// SPDX-License-Identifier: GPL-3.0-or-later
#include "wine/WineRegFile.h"

#include "platform/RegistryApi.h"
#include "platform/UnicodeText.h"
#include "wine/WineRegFileCache.h"

#include <gtest/gtest.h>
#include <random>

using namespace std::literals;

namespace {

const std::string Signature = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n"
                              "#arch=win64\n\n";

std::string RegFile(const std::string& body) {
    return Signature + body;
}

// A file whose key Software\Test holds the given lines.
std::string TestKeyFile(const std::string& lines) {
    return RegFile("[Software\\\\Test] 1733500000\n#time=1db48a3f0c2e9a4\n" + lines + "\n");
}

std::string Utf16Data(std::u16string_view text) {
    return Utf16ToLittleEndian(text);
}

// A stored string value as UTF-8, without the NUL the quoted forms end in.
std::string TextOf(const WineRegValue& value) {
    std::u16string text = Utf16FromLittleEndian(value.data);
    if (!text.empty() && text.back() == u'\0')
        text.pop_back();
    return Utf16ToUtf8(text);
}

std::optional<WineRegValue> ValueIn(const std::string& fileText, const std::string& keyPath,
                                    const std::string& name) {
    const std::optional<WineRegKey> key = FindWineRegKey(fileText, keyPath);
    if (!key || !key->find(name))
        return std::nullopt;
    return *key->find(name);
}

struct FormCase {
    const char* label;
    std::string lines; // in key Software\Test
    std::string name;
    WineRegValue expected;
};

class ValueFormTest : public testing::TestWithParam<FormCase> {};

TEST_P(ValueFormTest, GivesTypeAndStoredBytes) {
    const FormCase& c = GetParam();
    EXPECT_EQ(ValueIn(TestKeyFile(c.lines), "Software\\Test", c.name), c.expected) << c.label;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ValueFormTest,
    testing::Values(
        FormCase{"quoted", R"("v"="C:\\Games")", "v", {RegTypeSz, Utf16Data(u"C:\\Games\0"sv)}},
        FormCase{"str:", R"("v"=str:"x")", "v", {RegTypeSz, Utf16Data(u"x\0"sv)}},
        FormCase{"str(2)",
                 R"("v"=str(2):"%WINDIR%")",
                 "v",
                 {RegTypeExpandSz, Utf16Data(u"%WINDIR%\0"sv)}},
        FormCase{
            "str(7)", R"("v"=str(7):"a\0b\0")", "v", {RegTypeMultiSz, Utf16Data(u"a\0b\0\0"sv)}},
        FormCase{"dword", R"("v"=dword:8000002a)", "v", {RegTypeDword, "\x2a\0\0\x80"s}},
        FormCase{"short dword", R"("v"=dword:1f)", "v", {RegTypeDword, "\x1f\0\0\0"s}},
        FormCase{"hex", R"("v"=hex:00,ff,7A)", "v", {RegTypeBinary, "\0\xff\x7a"s}},
        FormCase{"empty hex", R"("v"=hex:)", "v", {RegTypeBinary, ""}},
        FormCase{"hex(1) without NUL", R"("v"=hex(1):41,00,42,00)", "v", {RegTypeSz, "A\0B\0"s}},
        FormCase{"hex(1) of odd length", R"("v"=hex(1):41,00,42)", "v", {RegTypeSz, "A\0B"s}},
        FormCase{"hex(N) of a large type", R"("v"=hex(1000b):01)", "v", {0x1000b, "\x01"}},
        FormCase{"continued hex",
                 "\"v\"=hex:01,02,\\\n  03,04,\\\r\n  05",
                 "v",
                 {RegTypeBinary, "\x01\x02\x03\x04\x05"}},
        FormCase{"default value", R"(@="d")", "", {RegTypeSz, Utf16Data(u"d\0"sv)}},
        FormCase{"blanks around =", "\"v\" \t= \"x\"", "v", {RegTypeSz, Utf16Data(u"x\0"sv)}},
        FormCase{"CR LF line end",
                 "\"v\"=\"x\"\r\n\"w\"=\"y\"\r",
                 "v",
                 {RegTypeSz, Utf16Data(u"x\0"sv)}},
        FormCase{"name repeated, last counts",
                 "\"v\"=\"first\"\n\"V\"=dword:00000002",
                 "v",
                 {RegTypeDword, "\x02\0\0\0"s}},
        FormCase{"escaped name", R"("a\"b\\c"="x")", "a\"b\\c", {RegTypeSz, Utf16Data(u"x\0"sv)}}));

struct EscapeCase {
    std::string written; // between the quotes of a value
    std::u16string meant;
};

class EscapeTest : public testing::TestWithParam<EscapeCase> {};

TEST_P(EscapeTest, DecodesToUtf16) {
    const EscapeCase& c = GetParam();
    const auto value = ValueIn(TestKeyFile("\"v\"=\"" + c.written + "\""), "Software\\Test", "v");
    ASSERT_TRUE(value) << c.written;
    EXPECT_EQ(Utf16FromLittleEndian(value->data), c.meant + u'\0') << c.written;
}

INSTANTIATE_TEST_SUITE_P(
    Table, EscapeTest,
    testing::Values(
        EscapeCase{R"(\\ \")", u"\\ \""}, EscapeCase{R"(\a\b\e\f\n\r\t\v)", u"\a\b\x1b\f\n\r\t\v"},
        EscapeCase{R"(\x41)", u"A"}, EscapeCase{R"(\x4)", u"\x04"},
        EscapeCase{R"(\x10dz)", u"\u010dz"}, EscapeCase{R"(\x00411)", u"A1"},
        EscapeCase{R"(\xg)", u"xg"}, EscapeCase{R"(\101)", u"A"}, EscapeCase{R"(\1011)", u"A1"},
        EscapeCase{R"(\08)", std::u16string{u'\0', u'8'}}, EscapeCase{R"(\777)", u"\u01ff"},
        EscapeCase{R"(\q\8\[\])", u"q8[]"}, EscapeCase{"\\\xC3\xA9", u"\u00e9"},
        EscapeCase{"\xC4\x8C"
                   "e\xC5\xA1tina",
                   u"\u010ce\u0161tina"},
        EscapeCase{"\xF0\x9F\x98\x80", u"\U0001F600"}, EscapeCase{R"(\xd83d\xde00)", u"\U0001F600"},
        EscapeCase{"a\xFF"
                   "b\xC4",
                   u"a\ufffdb\ufffd"},
        EscapeCase{"\xC0\x80\xED\xA0\x80", u"\ufffd\ufffd\ufffd\ufffd\ufffd"}));

// Keys and names written as Wine writes them (non-ASCII as \x escapes) or as raw UTF-8.
const std::string LookupFile = RegFile(R"([Software\\Activision\\Call of Duty] 1733500000
#time=1db48a3f0c2e9a4
"InstallPath"="C:\\Games\\Call of Duty"
[Software\\Activision\\Call of Duty\\Patches] 1733500000
[Software\\\x010cesk\xe9 hry] 1
"Jméno"="czech"
[Software\\Ελληνικά] 1
"Σίσυφος"="greek"
[Software\\Кириллица] 1
"Ёлка"="cyrillic"
[Software\\Latin\\ŁÓDŹ ÿ] 1
"x"="latin"
[Software\\Br\]acket\\\[x] 1
"v"="bracket"
[Software\\Parent\\Child] 1
"v"="child"
[Software\\Twice] 1
"a"="first a"
"b"="b"
[Software\\Other] 1
"a"="other"
[software\\TWICE] 1
"A"="second a"
)");

struct LookupCase {
    std::string keyPath, name;
    bool keyFound;
    const char* text; // nullptr: no such value
};

class LookupTest : public testing::TestWithParam<LookupCase> {};

// The key as registries find it: through its parent's family, in a file the cache reads in
// chunks of three bytes (so that every name spans chunks) and may pass over unparsed.
std::optional<WineRegKey> KeyThroughCache(const std::string& fileText, const std::string& keyPath) {
    WineRegFileCache cache([&fileText](const std::string&, std::size_t, const StampTaker& stamped,
                                       const ChunkTaker& take) {
        if (stamped(FileStamp{})) {
            for (std::size_t at = 0;
                 at < fileText.size() && take(std::string_view(fileText).substr(at, 3)); at += 3) {
            }
        }
        return MaybeFailure();
    });
    return cache.keysAt("/prefix/system.reg", {keyPath}).front();
}

TEST_P(LookupTest, MatchesKeysAndNamesWithoutRegardToCase) {
    const LookupCase& c = GetParam();
    for (const std::optional<WineRegKey>& key :
         {FindWineRegKey(LookupFile, c.keyPath), KeyThroughCache(LookupFile, c.keyPath)}) {
        ASSERT_EQ(key.has_value(), c.keyFound) << c.keyPath;
        if (!key)
            continue;
        const WineRegValue* value = key->find(c.name);
        ASSERT_EQ(value != nullptr, c.text != nullptr) << c.keyPath << " " << c.name;
        if (value) {
            EXPECT_EQ(TextOf(*value), c.text);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, LookupTest,
    testing::Values(LookupCase{"Software\\Activision\\Call of Duty", "InstallPath", true,
                               "C:\\Games\\Call of Duty"},
                    LookupCase{"SOFTWARE\\activision\\CALL OF DUTY", "installPATH", true,
                               "C:\\Games\\Call of Duty"},
                    LookupCase{"Software\\\\Activision\\Call of Duty\\", "InstallPath", true,
                               "C:\\Games\\Call of Duty"},
                    LookupCase{"Software\\Activision\\Call of Duty", "Install", true, nullptr},
                    LookupCase{"Software\\Activision\\Call of Duty United Offensive", "InstallPath",
                               false, nullptr},
                    LookupCase{"software\\české HRY", "JMÉNO", true, "czech"},
                    LookupCase{"SOFTWARE\\ΕΛΛΗΝΙΚΆ", "ΣΊΣΥΦΟΣ", true, "greek"},
                    LookupCase{"software\\кириллица", "ёлКА", true, "cyrillic"},
                    LookupCase{"software\\latin\\łódź Ÿ", "X", true, "latin"},
                    LookupCase{"Software\\Br]acket\\[x", "v", true, "bracket"},
                    LookupCase{"Software\\Parent", "v", true,
                               nullptr}, // only its sub-key is written
                    LookupCase{"Software\\Par", "v", false, nullptr},
                    LookupCase{"Software\\Parent\\Child\\Grandchild", "v", false, nullptr},
                    LookupCase{"Software\\Twice", "a", true, "second a"},
                    LookupCase{"Software\\Twice", "B", true, "b"},
                    LookupCase{"Software\\Latin\\LODZ Y", "x", false, nullptr},
                    LookupCase{"", "x", true, nullptr}));

struct BrokenCase {
    const char* label;
    std::string file;
    bool keyFound; // Software\Test
    const char* v; // nullptr: "v" not found
    const char* w; // nullptr: "w" not found
};

class BrokenFileTest : public testing::TestWithParam<BrokenCase> {};

TEST_P(BrokenFileTest, LosesOnlyWhatTheBrokenPartHeld) {
    const BrokenCase& c = GetParam();
    const std::optional<WineRegKey> key = FindWineRegKey(c.file, "Software\\Test");
    ASSERT_EQ(key.has_value(), c.keyFound) << c.label;
    if (!key)
        return;
    for (const auto& [name, expected] : {std::pair{"v", c.v}, std::pair{"w", c.w}}) {
        const WineRegValue* value = key->find(name);
        ASSERT_EQ(value != nullptr, expected != nullptr) << c.label << ": " << name;
        if (value) {
            EXPECT_EQ(TextOf(*value), expected) << c.label;
        }
    }
}

const std::string BinaryGarbage = [] {
    std::string bytes;
    for (int i = 0; i < 4096; ++i)
        bytes += static_cast<char>(i * 7 % 256);
    return bytes;
}();

INSTANTIATE_TEST_SUITE_P(
    Table, BrokenFileTest,
    testing::Values(
        BrokenCase{"empty file", "", false, nullptr, nullptr},
        BrokenCase{"only the signature, no LF", "WINE REGISTRY Version 2", false, nullptr, nullptr},
        BrokenCase{"no signature", "[Software\\\\Test] 1\n\"v\"=\"x\"\n", false, nullptr, nullptr},
        BrokenCase{"other version", "WINE REGISTRY Version 1\n[Software\\\\Test] 1\n", false,
                   nullptr, nullptr},
        BrokenCase{"byte order mark", "\xEF\xBB\xBF" + TestKeyFile("\"v\"=\"x\""), false, nullptr,
                   nullptr},
        BrokenCase{"binary", BinaryGarbage, false, nullptr, nullptr},
        BrokenCase{"binary after the signature", RegFile(BinaryGarbage), false, nullptr, nullptr},
        BrokenCase{"key line without ]", RegFile("[Software\\\\Test 1\n\"v\"=\"x\"\n"), false,
                   nullptr, nullptr},
        BrokenCase{"key line ends in an escape", RegFile("[Software\\\\Test\\]\n\"v\"=\"x\"\n"),
                   false, nullptr, nullptr},
        BrokenCase{"value before any key",
                   RegFile("\"v\"=\"x\"\n[Software\\\\Test] 1\n\"w\"=\"ok\"\n"), true, nullptr,
                   "ok"},
        BrokenCase{"string without closing quote", TestKeyFile("\"v\"=\"abc\n\"w\"=\"ok\""), true,
                   nullptr, "ok"},
        BrokenCase{"string ends in an escape", TestKeyFile("\"v\"=\"abc\\\n\"w\"=\"ok\""), true,
                   nullptr, "ok"},
        BrokenCase{"name without closing quote", TestKeyFile("\"v=\"x\n\"w\"=\"ok\""), true,
                   nullptr, "ok"},
        BrokenCase{"no =", TestKeyFile("\"v\" \"x\"\n\"w\"=\"ok\""), true, nullptr, "ok"},
        BrokenCase{"unknown form", TestKeyFile("\"v\"=qword:1\n\"w\"=\"ok\""), true, nullptr, "ok"},
        BrokenCase{"dword without digits", TestKeyFile("\"v\"=dword:\n\"w\"=\"ok\""), true, nullptr,
                   "ok"},
        BrokenCase{"dword too large", TestKeyFile("\"v\"=dword:100000000\n\"w\"=\"ok\""), true,
                   nullptr, "ok"},
        BrokenCase{"hex byte too large", TestKeyFile("\"v\"=hex:100\n\"w\"=\"ok\""), true, nullptr,
                   "ok"},
        BrokenCase{"hex with junk", TestKeyFile("\"v\"=hex:01,zz\n\"w\"=\"ok\""), true, nullptr,
                   "ok"},
        BrokenCase{"hex( not closed", TestKeyFile("\"v\"=hex(1:41,00\n\"w\"=\"ok\""), true, nullptr,
                   "ok"},
        BrokenCase{"continued onto a broken line",
                   TestKeyFile("\"v\"=hex(1):41,00,\\\n  zz\n\"w\"=\"ok\""), true, nullptr, "ok"},
        BrokenCase{"continued past the end of the file",
                   RegFile("[Software\\\\Test] 1\n\"w\"=\"ok\"\n\"v\"=hex(1):41,00,\\"), true,
                   nullptr, "ok"}));

TEST(CrLfFile, ReadsAsItsLfTwin) {
    std::string file;
    for (const char c : TestKeyFile("\"v\"=hex(1):41,00,\\\n  42,00\n@=\"d\""))
        file += c == '\n' ? "\r\n"s : std::string(1, c);
    const std::optional<WineRegKey> key = FindWineRegKey(file, "Software\\Test");
    ASSERT_TRUE(key);
    ASSERT_TRUE(key->find("v") && key->find(""));
    EXPECT_EQ(key->find("v")->data, "A\0B\0"s);
    EXPECT_EQ(TextOf(*key->find("")), "d");
}

// A file cut anywhere still gives what its complete lines hold, and never more.
TEST(TruncatedFile, HoldsTheValueOnlyOnceItsClosingQuoteIsThere) {
    const std::string file = TestKeyFile(R"("v"="C:\\Games\\Call of Duty")");
    const std::size_t keyEnd = file.find(']') + 1;
    const std::size_t valueEnd = file.rfind('"') + 1;
    for (std::size_t cut = 0; cut <= file.size(); ++cut) {
        const std::optional<WineRegKey> key = FindWineRegKey(file.substr(0, cut), "Software\\Test");
        ASSERT_EQ(key.has_value(), cut >= keyEnd) << "cut at " << cut;
        const WineRegValue* value = key ? key->find("v") : nullptr;
        ASSERT_EQ(value != nullptr, cut >= valueEnd) << "cut at " << cut;
        if (value) {
            EXPECT_EQ(TextOf(*value), "C:\\Games\\Call of Duty");
        }
    }
}

// Garbage around a key, rich in the format's own characters, neither hides nor changes it.
TEST(GarbledFile, KeepsTheIntactKey) {
    const std::string alphabet = "[]\"\\@=:,;#() \t\r\n\n\nhexdwordstr0123456789abcdefABx";
    std::mt19937 random(20240611);
    const auto garbage = [&] {
        std::string text(random() % 600, ' ');
        for (char& c : text)
            c = random() % 4 == 0 ? static_cast<char>(random())
                                  : alphabet[random() % alphabet.size()];
        return text;
    };
    for (int round = 0; round < 300; ++round) {
        const std::string file =
            RegFile(garbage() + "\n[Software\\\\Test] 1\n\"v\"=\"kept\"\n" + garbage());
        const auto value = ValueIn(file, "Software\\Test", "v");
        ASSERT_TRUE(value) << "round " << round;
        EXPECT_EQ(TextOf(*value), "kept");
    }
}

// What a big system.reg looks like to the reader: thousands of keys, hex lists among them.
TEST(LargeFile, FindsKeysAnywhere) {
    std::string body;
    for (int i = 0; i < 20000; ++i) {
        body += "[Software\\\\Classes\\\\Key" + std::to_string(i) + "] 1733500000\n" +
                "#time=1db48a3f0c2e9a4\n\"Data\"=hex:01,02,03,04,05,06,07,08,09,0a,\\\n" +
                "  0b,0c\n@=\"value " + std::to_string(i) + "\"\n";
    }
    const std::string file = RegFile(body);
    for (int i : {0, 12345, 19999}) {
        const auto value = ValueIn(file, "software\\classes\\KEY" + std::to_string(i), "");
        ASSERT_TRUE(value);
        EXPECT_EQ(TextOf(*value), "value " + std::to_string(i));
    }
}

// The cache answers for the file as it last read it: a file changed between the search for the
// parent's name and the whole read is answered as read whole, and kept until it changes again.
TEST(WineRegFileCache, AnswersForTheFileAsLastRead) {
    struct Version {
        FileStamp stamp;
        std::string text;
    };
    std::vector<Version> versions{{{.size = 1}, LookupFile}, {{.size = 2}, TestKeyFile("")}};
    std::size_t reads = 0;
    WineRegFileCache cache(
        [&](const std::string&, std::size_t, const StampTaker& stamped, const ChunkTaker& take) {
            const Version& now = versions[std::min(reads, versions.size() - 1)];
            if (stamped(now.stamp) && ++reads)
                take(now.text);
            return MaybeFailure();
        });
    const auto installPath = [&cache] {
        const auto key =
            cache.keysAt("/prefix/system.reg", {"Software\\Activision\\Call of Duty"}).front();
        return key && key->find("InstallPath") ? TextOf(*key->find("InstallPath")) : "";
    };
    EXPECT_EQ(installPath(), "");
    EXPECT_EQ(installPath(), "");
    EXPECT_EQ(reads, 2u) << "searched, then read whole; not again while unchanged";
    versions.push_back({{.size = 3}, LookupFile});
    EXPECT_EQ(installPath(), "C:\\Games\\Call of Duty");
    EXPECT_EQ(reads, 4u);
}

TEST(UnicodeText, ConvertsUtf16AsWindowsDoes) {
    EXPECT_EQ(Utf16ToUtf8(u"a\0\u010c"sv), "a\0\xC4\x8C"s);
    EXPECT_EQ(Utf16ToUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
    const std::u16string loneSurrogates = {0xDC00, u'x', 0xD800};
    EXPECT_EQ(Utf16ToUtf8(loneSurrogates), "\xEF\xBF\xBDx\xEF\xBF\xBD");
    EXPECT_EQ(Utf8ToUtf16("\xE2\x82\xAC\xF4\x90\x80\x80"), u"\u20ac\ufffd\ufffd\ufffd\ufffd");
}

TEST(UnicodeText, FoldsCasePairsTogetherAndNothingElse) {
    const std::u16string_view pairs[][2] = {{u"abcz", u"ABCZ"},
                                            {u"àéöþÿµ", u"ÀÉÖÞŸΜ"},
                                            {u"āăčďěłńőřšťůźž", u"ĀĂČĎĚŁŃŐŘŠŤŮŹŽ"},
                                            {u"ıſ", u"IS"},
                                            {u"αβγάέήίόύώσς", u"ΑΒΓΆΈΉΊΌΎΏΣΣ"},
                                            {u"абвяёђџѣҗӂӑ", u"АБВЯЁЂЏѢҖӁӐ"}};
    for (const auto& pair : pairs)
        EXPECT_EQ(FoldedCodePoints(pair[0]), FoldedCodePoints(pair[1])) << Utf16ToUtf8(pair[0]);
    const std::u16string_view different[][2] = {{u"a", u"b"}, {u"e", u"е"}, {u"ß", u"SS"},
                                                {u"÷", u"×"}, {u"ĸ", u"K"}, {u"İ", u"i"}};
    for (const auto& pair : different)
        EXPECT_NE(FoldedCodePoints(pair[0]), FoldedCodePoints(pair[1])) << Utf16ToUtf8(pair[0]);
}

} // namespace
