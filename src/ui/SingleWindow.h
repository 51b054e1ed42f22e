// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>

// The one window of a kind that the program has at a time: created on first use, and created
// afresh after it was closed, so that every use starts from the window's initial state.
//
// A closing window releases itself from its closeEvent, so that the next use creates a new one,
// and is deleted later, never while one of its own handlers runs.
template <class Window> class SingleWindow {
public:
    static Window& instance() {
        QPointer<Window>& window = current();
        if (!window)
            window = new Window;
        return *window;
    }

    // Exists, shown or hidden.
    static bool isOpen() { return !current().isNull(); }

    static void closeIfOpen() {
        if (Window* window = current())
            window->close();
    }

protected:
    // Frees the slot and deletes the window once control is back in the event loop.
    void releaseAfterClose(Window* window) {
        release(window);
        window->deleteLater();
    }

    // Frees the slot only: for a window that deletes itself when its handler is done.
    void release(Window* window) {
        if (current() == window)
            current() = nullptr;
    }

private:
    static QPointer<Window>& current() {
        static QPointer<Window> window;
        return window;
    }
};
