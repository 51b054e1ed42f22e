// SPDX-License-Identifier: GPL-3.0-or-later
// Where there is no registry of its own: the registries of the Wine prefixes, and paths mapped
// into the prefix whose registry gave them.

#include "gameconfig/PlatformSeam.h"
#include "gameconfig/Registry.h"
#include "support/TestPrefix.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

using namespace std::literals;
namespace fs = std::filesystem;

namespace {

const std::string GameKey = "Software\\Activision\\Call of Duty";

// Where there is no registry of its own, the platform's registry is that of the current prefix.
TEST(PlatformRegistry, FollowsWinePrefixFromLookupToLookup) {
    TestPrefix first;
    first.addString("Software\\Wow6432Node\\Activision\\Call of Duty", "InstallPath", "C:\\One");
    EXPECT_EQ(QueryRegValue(RootKeyLocalMachine, GameKey, "InstallPath"), RegValue("C:\\One"s));

    RegHandle openedInFirst = 0;
    ASSERT_EQ(PlatformRegistry().openKey(RootKeyLocalMachine, GameKey, openedInFirst), RegSuccess);
    {
        TestPrefix second;
        second.addString("Software\\Activision\\Call of Duty", "InstallPath", "C:\\Second");
        EXPECT_EQ(QueryRegValue(RootKeyLocalMachine, GameKey, "InstallPath"),
                  RegValue("C:\\Second"s));
        std::uint32_t type = 0, size = 0;
        EXPECT_EQ(PlatformRegistry().queryValueInfo(openedInFirst, "InstallPath", type, size),
                  RegSuccess);
        EXPECT_EQ(size, 7u) << "a key stays with the prefix it was opened in";
    }
    EXPECT_EQ(PlatformRegistry().closeKey(openedInFirst), RegSuccess);
    EXPECT_EQ(PlatformRegistry().closeKey(openedInFirst), RegInvalidHandle);
    EXPECT_EQ(QueryRegValue(RootKeyLocalMachine, GameKey, "InstallPath"), RegValue("C:\\One"s));
}

TEST(HostPathFor, MapsIntoThePrefixThatAnswered) {
    TestPrefix prefix; // sets $WINEPREFIX
    const fs::path cfg =
        prefix.installGame("Software\\Activision\\Call of Duty", "C:\\Games\\Call of Duty\\",
                           "\\Main\\", "config_mp.cfg", "seta name \"x\"\n");
    const RegLookup found = LookUpRegValue(RootKeyLocalMachine, GameKey, "InstallPath");
    EXPECT_EQ(found.origin, prefix.dir().string());
    const std::string mapped =
        HostPathFor(found.origin, RegValueText(found.value) + "\\Main\\config_mp.cfg");
    EXPECT_EQ(mapped, (prefix.driveC() / "Games/Call of Duty/Main/config_mp.cfg").string());
    EXPECT_TRUE(fs::equivalent(mapped, cfg));
}

} // namespace
