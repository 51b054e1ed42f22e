// SPDX-License-Identifier: GPL-3.0-or-later
#include "gameconfig/Registry.h"

#include "support/TestPrefix.h"
#include "wine/WineRegistry.h"

#include <climits>
#include <cstring>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <set>

using namespace std::literals;

namespace {

const std::string GameKey = "Software\\Activision\\Call of Duty";

struct FakeValue {
    std::uint32_t type;
    std::string data;
    std::optional<std::string> dataWhenRead = {}; // the value changed after the size query
};

// A registry with one key that records each call: the operation, the LastRegResult it found on
// entry, the code it gave back and the buffer size it was given.
class RecordingRegistry : public RegistryApi {
public:
    struct Call {
        std::string operation;
        std::int32_t lastResultOnEntry;
        std::int32_t result;
        std::uint32_t bufferSize = 0;
    };

    std::optional<FakeValue> value; // "InstallPath" under GameKey
    bool keyExists = true;
    std::int32_t closeResult = RegSuccess;
    std::optional<std::int32_t> infoResult; // overrides the size query's code
    std::vector<Call> calls;
    std::set<RegHandle> openKeys;

    std::int32_t openKey(std::uint32_t root, const std::string& subKey, RegHandle& key) override {
        if (!keyExists || root != RootKeyLocalMachine || subKey != GameKey)
            return record("open", RegFileNotFound);
        key = 0x40 + calls.size();
        openKeys.insert(key);
        return record("open", RegSuccess);
    }

    std::int32_t queryValueInfo(RegHandle key, const std::string& name, std::uint32_t& type,
                                std::uint32_t& size) override {
        EXPECT_TRUE(openKeys.count(key));
        if (!value || name != "InstallPath")
            return record("info", infoResult.value_or(RegFileNotFound));
        type = value->type;
        size = static_cast<std::uint32_t>(value->data.size());
        return record("info", infoResult.value_or(RegSuccess));
    }

    std::int32_t readValueData(RegHandle key, const std::string&, void* buffer,
                               std::uint32_t& size) override {
        EXPECT_TRUE(openKeys.count(key));
        const std::string data = value->dataWhenRead.value_or(value->data);
        const std::uint32_t given = size;
        size = static_cast<std::uint32_t>(data.size());
        if (data.size() > given)
            return record("read", RegMoreData, given);
        std::memcpy(buffer, data.data(), data.size());
        return record("read", RegSuccess, given);
    }

    std::int32_t closeKey(RegHandle key) override {
        EXPECT_EQ(openKeys.erase(key), 1u) << "closed a key that was not open";
        return record("close", closeResult);
    }

    std::string operations() const {
        std::string list;
        for (const Call& call : calls)
            list += (list.empty() ? "" : ",") + call.operation;
        return list;
    }

private:
    std::int32_t record(const char* operation, std::int32_t result, std::uint32_t size = 0) {
        calls.push_back({operation, LastRegResult, result, size});
        return result;
    }
};

// Every call found the code of the call before it in LastRegResult, the last one's code stays
// there, and no key is left open.
void ExpectResultsStoredAndKeysClosed(const RecordingRegistry& registry) {
    for (std::size_t i = 1; i < registry.calls.size(); ++i)
        EXPECT_EQ(registry.calls[i].lastResultOnEntry, registry.calls[i - 1].result)
            << "on entering " << registry.calls[i].operation;
    ASSERT_FALSE(registry.calls.empty());
    EXPECT_EQ(LastRegResult, registry.calls.back().result);
    EXPECT_TRUE(registry.openKeys.empty());
}

struct LookupCase {
    const char* label;
    std::optional<FakeValue> value;
    RegValue expected;
    std::string operations;
};

class QueryRegValueTest : public testing::TestWithParam<LookupCase> {};

TEST_P(QueryRegValueTest, FollowsTheLookupSteps) {
    const LookupCase& c = GetParam();
    RecordingRegistry registry;
    registry.value = c.value;
    LastRegResult = -1;
    EXPECT_EQ(QueryRegValue(registry, RootKeyLocalMachine, GameKey, "InstallPath"), c.expected)
        << c.label;
    EXPECT_EQ(registry.operations(), c.operations) << c.label;
    ExpectResultsStoredAndKeysClosed(registry);
    for (const auto& call : registry.calls) {
        if (call.operation == "read") { // exactly the reported size, or 4 for a double word
            EXPECT_EQ(call.bufferSize, c.value->type == RegTypeDword ? 4 : c.value->data.size());
        }
    }
}

const std::string LongPath = std::string(40000, 'x');

INSTANTIATE_TEST_SUITE_P(
    Table, QueryRegValueTest,
    testing::Values(
        LookupCase{"string with NUL", FakeValue{RegTypeSz, "C:\\Games\0"s}, "C:\\Games"s,
                   "open,info,read,close"},
        LookupCase{"string without NUL", FakeValue{RegTypeSz, "C:\\Games"}, "C:\\Games"s,
                   "open,info,read,close"},
        LookupCase{"NUL inside", FakeValue{RegTypeSz, "ab\0cd\0"s}, "ab"s, "open,info,read,close"},
        LookupCase{"size 0", FakeValue{RegTypeSz, ""}, ""s, "open,info,read,close"},
        LookupCase{"only a NUL", FakeValue{RegTypeSz, "\0"s}, ""s, "open,info,read,close"},
        LookupCase{"8-bit text", FakeValue{RegTypeSz, "C:\\Hry\\\xC4\x8C\0"s}, "C:\\Hry\\\xC4\x8C"s,
                   "open,info,read,close"},
        LookupCase{"NUL beyond 32767", FakeValue{RegTypeSz, LongPath + '\0'}, LongPath,
                   "open,info,read,close"},
        LookupCase{"grown after the size query", FakeValue{RegTypeSz, "C:\\G\0"s, "C:\\Games\0"s},
                   ""s, "open,info,read,close"},
        LookupCase{"shrunk, no NUL: the buffer's spaces stay",
                   FakeValue{RegTypeSz, "abcdef", "abc"}, "abc   "s, "open,info,read,close"},
        LookupCase{"double word", FakeValue{RegTypeDword, "\x2a\0\0\0"s}, 42,
                   "open,info,read,close"},
        LookupCase{"double word, top bit set", FakeValue{RegTypeDword, "\x01\0\0\x80"s},
                   INT32_MIN + 1, "open,info,read,close"},
        LookupCase{"double word of 8 bytes", FakeValue{RegTypeDword, "\1\0\0\0\0\0\0\0"s}, ""s,
                   "open,info,read,close"},
        LookupCase{"expandable string", FakeValue{RegTypeExpandSz, "%X%\0"s}, ""s,
                   "open,info,close"},
        LookupCase{"bytes", FakeValue{RegTypeBinary, "\1\2"s}, ""s, "open,info,close"},
        LookupCase{"multi-string", FakeValue{RegTypeMultiSz, "a\0\0"s}, ""s, "open,info,close"},
        LookupCase{"REG_NONE", FakeValue{RegTypeNone, "x"}, ""s, "open,info,close"},
        LookupCase{"quad word", FakeValue{11, "\1\0\0\0\0\0\0\0"s}, ""s, "open,info,close"},
        LookupCase{"missing value", std::nullopt, ""s, "open,info,close"}));

TEST(QueryRegValue, MissingKeyEndsAfterTheOpen) {
    RecordingRegistry registry;
    registry.keyExists = false;
    EXPECT_EQ(QueryRegValue(registry, RootKeyLocalMachine, GameKey, "InstallPath"), RegValue(""s));
    EXPECT_EQ(registry.operations(), "open");
    EXPECT_EQ(LastRegResult, RegFileNotFound);
}

TEST(QueryRegValue, BranchesOnTheTypeNotOnTheSizeQueryCode) {
    RecordingRegistry registry;
    registry.value = FakeValue{RegTypeSz, "C:\\Games\0"s};
    registry.infoResult = RegMoreData;
    EXPECT_EQ(QueryRegValue(registry, RootKeyLocalMachine, GameKey, "InstallPath"),
              RegValue("C:\\Games"s));
    ExpectResultsStoredAndKeysClosed(registry);
}

TEST(QueryRegValue, KeepsTheCloseCode) {
    RecordingRegistry registry;
    registry.value = FakeValue{RegTypeDword, "\7\0\0\0"s};
    registry.closeResult = RegInvalidHandle;
    EXPECT_EQ(QueryRegValue(registry, RootKeyLocalMachine, GameKey, "InstallPath"), RegValue(7));
    EXPECT_EQ(LastRegResult, RegInvalidHandle);
}

TEST(RegValueText, WritesIntegersInDecimal) {
    EXPECT_EQ(RegValueText("C:\\Games"s), "C:\\Games");
    EXPECT_EQ(RegValueText(""s), "");
    EXPECT_EQ(RegValueText(0), "0");
    EXPECT_EQ(RegValueText(INT32_MAX), "2147483647");
    EXPECT_EQ(RegValueText(-1), "-1");
    EXPECT_EQ(RegValueText(INT32_MIN), "-2147483648");
}

std::string SystemReg(const std::string& body) {
    return "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n\n" + body;
}

// A prefix in a temporary folder whose system.reg holds the keys in `body`.
struct PrefixWithRegistry {
    explicit PrefixWithRegistry(const std::string& body) {
        WriteBytes(dir.path() / "system.reg", SystemReg(body));
    }
    TempDir dir;
};

const std::string AllForms = R"([Software\\Wow6432Node\\Test] 1733500000
"sz"="C:\\Games\\Call of Duty"
"czech"="C:\\Hry\\Če\x0161tina"
"emoji"="\xd83d\xde00"
"lone"="a\xd800z"
"empty"=""
"nonul"=hex(1):41,00,42,00
"odd"=hex(1):41,00,42
"emptyhex"=hex(1):
"nulinside"=hex(1):41,00,00,00,42,00
"dword"=dword:80000000
"expand"=str(2):"%WINDIR%"
"multi"=str(7):"a\0b\0"
"binary"=hex:01,02
)";

struct BackendCase {
    std::string name;
    RegValue expected;
    std::uint32_t type, size; // as the 8-bit functions report them
};

class WineRegistryValueTest : public testing::TestWithParam<BackendCase> {};

TEST_P(WineRegistryValueTest, GivesUtf8TextAndItsSize) {
    const BackendCase& c = GetParam();
    PrefixWithRegistry prefix(AllForms);
    WineRegistry registry(prefix.dir.path());
    EXPECT_EQ(QueryRegValue(registry, RootKeyLocalMachine, "Software\\Test", c.name), c.expected);

    RegHandle key = 0;
    ASSERT_EQ(registry.openKey(RootKeyLocalMachine, "Software\\Test", key), RegSuccess);
    std::uint32_t type = 99, size = 99;
    EXPECT_EQ(registry.queryValueInfo(key, c.name, type, size), RegSuccess);
    EXPECT_EQ(type, c.type) << c.name;
    EXPECT_EQ(size, c.size) << c.name;
    EXPECT_EQ(registry.closeKey(key), RegSuccess);
}

INSTANTIATE_TEST_SUITE_P(Table, WineRegistryValueTest,
                         testing::Values(BackendCase{"sz", "C:\\Games\\Call of Duty"s, RegTypeSz,
                                                     22},
                                         BackendCase{"CZECH",
                                                     "C:\\Hry\\\xC4\x8C"
                                                     "e\xC5\xA1tina"s,
                                                     RegTypeSz, 17},
                                         BackendCase{"emoji", "\xF0\x9F\x98\x80"s, RegTypeSz, 5},
                                         BackendCase{"lone", "a\xEF\xBF\xBDz"s, RegTypeSz, 6},
                                         BackendCase{"empty", ""s, RegTypeSz, 1},
                                         BackendCase{"nonul", "AB"s, RegTypeSz, 2},
                                         BackendCase{"odd", "A"s, RegTypeSz, 1},
                                         BackendCase{"emptyhex", ""s, RegTypeSz, 0},
                                         BackendCase{"nulinside", "A"s, RegTypeSz, 3},
                                         BackendCase{"dword", INT32_MIN, RegTypeDword, 4},
                                         BackendCase{"expand", ""s, RegTypeExpandSz, 9},
                                         BackendCase{"multi", ""s, RegTypeMultiSz, 5},
                                         BackendCase{"binary", ""s, RegTypeBinary, 2}));

struct ViewCase {
    const char* label;
    std::string body;
    std::string keyPath;
    std::string expected;
};

class Wow6432NodeTest : public testing::TestWithParam<ViewCase> {};

TEST_P(Wow6432NodeTest, LooksAtThe32BitViewFirst) {
    const ViewCase& c = GetParam();
    PrefixWithRegistry prefix(c.body);
    WineRegistry registry(prefix.dir.path());
    EXPECT_EQ(RegValueText(QueryRegValue(registry, RootKeyLocalMachine, c.keyPath, "InstallPath")),
              c.expected)
        << c.label;
}

const std::string View32 = "[Software\\\\Wow6432Node\\\\Activision\\\\Call of Duty] 1\n"
                           "\"InstallPath\"=\"32\"\n";
const std::string View64 = "[Software\\\\Activision\\\\Call of Duty] 1\n"
                           "\"InstallPath\"=\"sixty-four\"\n";

INSTANTIATE_TEST_SUITE_P(
    Table, Wow6432NodeTest,
    testing::Values(ViewCase{"both views", View64 + View32, GameKey, "32"},
                    ViewCase{"only the native one", View64, GameKey, "sixty-four"},
                    ViewCase{"only the 32-bit one", View32, GameKey, "32"},
                    ViewCase{"32-bit key without the value",
                             View64 + "[Software\\\\Wow6432Node\\\\Activision\\\\Call of Duty] 1\n",
                             GameKey, ""},
                    ViewCase{"any letter case",
                             "[SOFTWARE\\\\wow6432node\\\\activision\\\\CALL OF DUTY] 1\n"
                             "\"installpath\"=\"32\"\n",
                             "software\\ACTIVISION\\call of duty", "32"},
                    ViewCase{"asked for the 32-bit view itself", View32,
                             "Software\\Wow6432Node\\Activision\\Call of Duty", "32"},
                    ViewCase{"outside Software",
                             "[System\\\\Wow6432Node\\\\X] 1\n\"InstallPath\"=\"32\"\n"
                             "[System\\\\X] 1\n\"InstallPath\"=\"native\"\n",
                             "System\\X", "native"}));

TEST(WineRegistry, HandlesAreDistinctAndCloseOnce) {
    PrefixWithRegistry prefix(View32);
    WineRegistry registry(prefix.dir.path());
    WineRegistry other(prefix.dir.path());
    RegHandle first = 0, second = 0, others = 0;
    ASSERT_EQ(registry.openKey(RootKeyLocalMachine, GameKey, first), RegSuccess);
    ASSERT_EQ(registry.openKey(RootKeyLocalMachine, GameKey, second), RegSuccess);
    ASSERT_EQ(other.openKey(RootKeyLocalMachine, GameKey, others), RegSuccess);
    EXPECT_NE(first, 0u);
    EXPECT_EQ(std::set<RegHandle>({first, second, others}).size(), 3u);

    EXPECT_EQ(registry.closeKey(others), RegInvalidHandle);
    EXPECT_EQ(registry.closeKey(0), RegInvalidHandle);
    EXPECT_EQ(registry.closeKey(first), RegSuccess);
    EXPECT_EQ(registry.closeKey(first), RegInvalidHandle);
    std::uint32_t type = 0, size = 0;
    EXPECT_EQ(registry.queryValueInfo(first, "InstallPath", type, size), RegInvalidHandle);
    EXPECT_EQ(registry.queryValueInfo(second, "InstallPath", type, size), RegSuccess);
    EXPECT_EQ(registry.closeKey(second), RegSuccess);
    EXPECT_EQ(other.closeKey(others), RegSuccess);
}

TEST(WineRegistry, ReportsTheSizeItNeedsWhenTheBufferIsTooSmall) {
    PrefixWithRegistry prefix(View32);
    WineRegistry registry(prefix.dir.path());
    RegHandle key = 0;
    ASSERT_EQ(registry.openKey(RootKeyLocalMachine, GameKey, key), RegSuccess);
    char buffer[3] = {'-', '-', '-'};
    std::uint32_t size = 2;
    EXPECT_EQ(registry.readValueData(key, "InstallPath", buffer, size), RegMoreData);
    EXPECT_EQ(size, 3u);
    size = 0;
    EXPECT_EQ(registry.readValueData(key, "InstallPath", nullptr, size), RegSuccess);
    EXPECT_EQ(size, 3u);
    EXPECT_EQ(registry.readValueData(key, "InstallPath", buffer, size), RegSuccess);
    EXPECT_EQ(std::string(buffer, 3), "32\0"s);
    EXPECT_EQ(registry.readValueData(key, "Missing", buffer, size), RegFileNotFound);
    registry.closeKey(key);
}

TEST(WineRegistry, FindsNothingWithoutARegistryFileOrOutsideTheMachineKey) {
    PrefixWithRegistry prefix(View32);
    TempDir noFile;
    TempDir folderInstead;
    std::filesystem::create_directory(folderInstead.path() / "system.reg");
    const std::pair<std::filesystem::path, std::uint32_t> cases[] = {
        {prefix.dir.path(), 0x80000001u}, // HKEY_CURRENT_USER
        {noFile.path(), RootKeyLocalMachine},
        {noFile.path() / "missing", RootKeyLocalMachine},
        {folderInstead.path(), RootKeyLocalMachine}};
    for (const auto& [dir, root] : cases) {
        WineRegistry registry(dir);
        RegHandle key = 0;
        EXPECT_EQ(registry.openKey(root, GameKey, key), RegFileNotFound) << dir;
        EXPECT_EQ(key, 0u);
    }
}

TEST(WineRegistry, ReadsTheFileAnewOnEachOpen) {
    PrefixWithRegistry prefix(View32);
    WineRegistry registry(prefix.dir.path());
    RegHandle before = 0;
    ASSERT_EQ(registry.openKey(RootKeyLocalMachine, GameKey, before), RegSuccess);
    WriteBytes(prefix.dir.path() / "system.reg", SystemReg(View64));
    EXPECT_EQ(QueryRegValue(registry, RootKeyLocalMachine, GameKey, "InstallPath"),
              RegValue("sixty-four"s));
    std::uint32_t type = 0, size = 0;
    EXPECT_EQ(registry.queryValueInfo(before, "InstallPath", type, size), RegSuccess);
    EXPECT_EQ(size, 3u) << "an open key keeps what it was opened with";
    registry.closeKey(before);
}

} // namespace
