// SPDX-License-Identifier: GPL-3.0-or-later
// What Windows reads from the built tintwell.exe before it runs it: its manifest, its version
// record and its icon.

#include <gtest/gtest.h>
#include <set>
#include <string>
#include <windows.h>

namespace {

// The program as a file that holds resources, not as a program to run.
class ProgramImage : public testing::Test {
protected:
    ~ProgramImage() override {
        if (module)
            FreeLibrary(module);
    }

    std::string resource(LPCSTR name, LPCSTR type) const {
        HRSRC found = FindResourceA(module, name, type);
        if (!found)
            return {};
        const void* data = LockResource(LoadResource(module, found));
        return std::string(static_cast<const char*>(data), SizeofResource(module, found));
    }

    HMODULE module = LoadLibraryExA(TINTWELL_PROGRAM, nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
};

TEST_F(ProgramImage, ManifestAsksForWhatTheProgramNeeds) {
    ASSERT_NE(module, nullptr);
    const std::string manifest = resource(MAKEINTRESOURCEA(1), RT_MANIFEST);
    for (const char* wanted :
         {"level=\"asInvoker\"", ">UTF-8</activeCodePage>",
          "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
          ">PerMonitorV2</dpiAwareness>", "name=\"Tintwell\" version=\"" TINTWELL_VERSION ".0\""})
        EXPECT_NE(manifest.find(wanted), std::string::npos) << wanted << " in:\n" << manifest;
}

TEST_F(ProgramImage, VersionRecordNamesTheProgramAndItsVersion) {
    DWORD ignored = 0;
    std::string record(GetFileVersionInfoSizeA(TINTWELL_PROGRAM, &ignored), '\0');
    ASSERT_FALSE(record.empty());
    ASSERT_TRUE(
        GetFileVersionInfoA(TINTWELL_PROGRAM, 0, static_cast<DWORD>(record.size()), record.data()));
    auto text = [&](const char* name) {
        void* value = nullptr;
        UINT length = 0;
        const std::string path = std::string("\\StringFileInfo\\040904B0\\") + name;
        if (!VerQueryValueA(record.data(), path.c_str(), &value, &length) || length == 0)
            return std::string();
        return std::string(static_cast<const char*>(value));
    };
    EXPECT_EQ(text("ProductName"), "Tintwell");
    EXPECT_EQ(text("FileVersion"), TINTWELL_VERSION);
    EXPECT_EQ(text("OriginalFilename"), "tintwell.exe");
}

// Explorer, the taskbar and Alt+Tab each take the size they need from the program's icon.
TEST_F(ProgramImage, IconHoldsTheSizesWindowsShows) {
    ASSERT_NE(module, nullptr);
    const std::string group = resource("IDI_TINTWELL", RT_GROUP_ICON);
    ASSERT_GE(group.size(), 6u);
    const auto count = static_cast<unsigned char>(group[4]);
    std::set<int> sizes;
    for (std::size_t i = 0, at = 6; i < count && at + 14 <= group.size(); ++i, at += 14)
        sizes.insert(group[at] == 0 ? 256 : static_cast<unsigned char>(group[at]));
    for (int wanted : {16, 32, 48, 256})
        EXPECT_TRUE(sizes.count(wanted)) << wanted;
}

} // namespace
