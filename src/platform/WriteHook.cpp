// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/HostFiles.h"

#include <utility>

WriteHook& InstalledWriteHook() {
    static WriteHook hook;
    return hook;
}

ScopedWriteHook::ScopedWriteHook(WriteHook hook)
    : m_previous(std::exchange(InstalledWriteHook(), std::move(hook))) {}

ScopedWriteHook::~ScopedWriteHook() {
    InstalledWriteHook() = std::move(m_previous);
}
