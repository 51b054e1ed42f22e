// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/SharedState.h"

SharedState& Shared() {
    static SharedState state;
    return state;
}
