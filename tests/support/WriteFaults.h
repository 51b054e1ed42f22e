// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/HostFiles.h"

#include <algorithm>
#include <cstddef>
#include <memory>

// Lets writes through up to byte `at`, then fails each with `error` (ENOSPC plays a full disk).
inline std::unique_ptr<ScopedWriteHook> FailWritesFrom(std::size_t at, int error) {
    return std::make_unique<ScopedWriteHook>([at, error](std::size_t written, std::size_t wanted) {
        if (written >= at)
            return WriteVerdict{0, error};
        return WriteVerdict{std::min(wanted, at - written), 0};
    });
}
