// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string_view>

// The peak resident memory of a process, as Linux reports it in /proc/<pid>/status.

// The "VmHWM:" line of a status text in KiB, or nothing when there is none.
std::optional<long> PeakResidentKiB(std::string_view statusText);

// This process's peak resident memory in KiB; throws when the system does not say.
long OwnPeakResidentKiB();
