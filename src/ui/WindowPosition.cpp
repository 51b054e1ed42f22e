// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/WindowPosition.h"

#include "startup/SharedState.h"
#include "ui/Twips.h"

#include <limits>

namespace {

bool IsClamped(std::int16_t savedLeft) {
    return savedLeft == std::numeric_limits<std::int16_t>::max() ||
           savedLeft == std::numeric_limits<std::int16_t>::min();
}

} // namespace

void StoreWindowPosition(const QWidget& window) {
    SharedState& state = Shared();
    state.SavedTop = TopTwips(window);
    state.SavedLeft = ToSavedLeft(LeftTwips(window));
    state.SavedLeftBeyondRange = LeftTwips(window);
}

void MoveToSavedPosition(QWidget& window) {
    const SharedState& state = Shared();
    const float left = IsClamped(state.SavedLeft) ? state.SavedLeftBeyondRange : state.SavedLeft;
    MoveToTwips(window, state.SavedTop, left);
}
