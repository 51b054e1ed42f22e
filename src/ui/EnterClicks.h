// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QPushButton;

// Enter and Return click a push button that has the keyboard focus, as Space does and as buttons
// on Windows do. The button does not become a default button: Enter elsewhere in its window
// still clicks nothing.
void ClickOnEnter(QPushButton& button);
