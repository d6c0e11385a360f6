#pragma once
// The placement of a window as the settings component saves and restores it:
// position, size, window state and how the window is placed when it opens.
// The settings component works through this interface only, so that it stays
// free of widgets and can be tested without a window; the main window
// implements it on its own geometry.

// The window state, with the numbers under which the settings file keeps it.
enum class TWindowState : int {
    Normal = 0,
    Minimised = 1,
    Maximised = 2,
};

// Where the window goes when it is shown.
enum class TFormPosition {
    Designed,     // at its own Top/Left (the saved or designed values)
    ScreenCentre, // centred on the screen, ignoring Top/Left
};

class TFormPlacement {
public:
    virtual ~TFormPlacement() = default;

    // Position and size in pixels, of the normal (not minimised or maximised)
    // window.
    virtual int Top() const = 0;
    virtual int Left() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void SetTop(int top) = 0;
    virtual void SetLeft(int left) = 0;
    virtual void SetWidth(int width) = 0;
    virtual void SetHeight(int height) = 0;

    virtual TWindowState WindowState() const = 0;
    virtual void SetWindowState(TWindowState state) = 0;

    virtual void SetPosition(TFormPosition position) = 0;
};
