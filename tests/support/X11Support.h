#pragma once

#include <cstdint>
#include <vector>

namespace mqtest
{
    // Test programs that open JUCE windows without a JUCEApplication must do what JUCE does only
    // for standalone apps: call XInitThreads before any other Xlib call, and install an error
    // handler, since without a window manager harmless errors such as BadAtom would otherwise
    // end the process. Call before creating juce::ScopedJuceInitialiser_GUI.
    void prepareX11();

    struct WindowGeometry
    {
        unsigned long id;
        int width, height;
        int depth; // 1 for a child of the window asked about
        bool viewable;
    };

    // Every window below the given one, depth first, as the X server sees them. Windows that
    // another copy of JUCE (a hosted plug-in) created show up here too.
    std::vector<WindowGeometry> descendantWindows (unsigned long window);

    // The pixels of a viewable window as the X server shows them, child windows included:
    // 0xAARRGGBB, rows top to bottom. Empty when the window cannot be read.
    std::vector<std::uint32_t> captureWindow (unsigned long window, int& width, int& height);

    // One pixel of a viewable window, 0xRRGGBB; cheap enough to poll. Zero when unreadable.
    std::uint32_t pixelAt (unsigned long window, int x, int y);

    // Pointer input synthesised through the XTEST extension: the server delivers it to whatever
    // window is under the pointer, popup menus included, as if a user moved the mouse.
    bool canSynthesiseInput();
    // Moves the pointer to a point given relative to the top-left of a window.
    void movePointer (unsigned long window, int x, int y);
    void setLeftButton (bool down);
}
