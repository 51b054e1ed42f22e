#pragma once

#include <QPointer>

// The one window of a kind that the program has at a time: created on first use, and created
// afresh after it was closed, so that every use starts from the window's initial state.
//
// A closing window releases itself from its closeEvent; it is deleted only once control is back
// in the event loop, since Save and Cancel close the editor from inside their own handlers.
template <class Window> class SingleWindow {
public:
    static Window& Instance() {
        QPointer<Window>& window = Current();
        if (!window)
            window = new Window;
        return *window;
    }

    // Exists, shown or hidden.
    static bool IsOpen() { return !Current().isNull(); }

    static void CloseIfOpen() {
        if (Window* window = Current())
            window->close();
    }

protected:
    void ReleaseAfterClose(Window* window) {
        if (Current() == window)
            Current() = nullptr;
        window->deleteLater();
    }

private:
    static QPointer<Window>& Current() {
        static QPointer<Window> window;
        return window;
    }
};
