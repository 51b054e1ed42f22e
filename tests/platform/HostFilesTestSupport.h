// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/HostFiles.h"
#include "support/TestPrefix.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <set>
#include <string>
#include <string_view>

// What the host file tests of every platform share.

// The reason ReplaceWholeFile gives, or "" for success.
inline std::string Replace(const std::filesystem::path& path, std::string_view content) {
    MaybeFailure failure = ReplaceWholeFile(path.string(), content);
    return failure ? failure->message : "";
}

// Last written two minutes ago: a save's temporary file that old was left by a killed save.
inline void MakeOld(const std::filesystem::path& path) {
    std::filesystem::last_write_time(path, std::filesystem::file_time_type::clock::now() -
                                               std::chrono::minutes(2));
}

class HostFilesTest : public testing::Test {
protected:
    std::filesystem::path at(const std::string& name) const { return m_dir.path() / name; }

    TempDir m_dir;
};
