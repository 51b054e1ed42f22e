// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>

// The pictures of the dialog's two game buttons, lettering on black (the buttons are black).

// 248 x 58: "CALL OF DUTY", the button that chooses Call of Duty.
QImage DrawCallOfDutyButton();

// 255 x 88: "CALL OF DUTY" over "UNITED OFFENSIVE", the button that chooses United Offensive.
QImage DrawUnitedOffensiveButton();
