// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <string>
#include <string_view>

// A save writes the new file beside the old one under a name of its own: a prefix made from the
// target's name, ending ".tintwell-", then a number. A save that is killed may leave it behind;
// the next save of the same file removes such leftovers.

// What stands between the target's name and the number.
inline const std::string TempNameMark = ".tintwell-";

// A save still running writes its temporary file all the time; one untouched for longer was left
// by a save that was killed.
inline constexpr int LeftoverAgeSeconds = 60;

// Whether `name` is a temporary file's name with `prefix`: the prefix, then digits only.
inline bool IsTempName(std::string_view name, std::string_view prefix) {
    if (!name.starts_with(prefix) || name.size() == prefix.size())
        return false;
    name.remove_prefix(prefix.size());
    return std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; });
}
