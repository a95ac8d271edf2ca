#pragma once

#include <cstdint>
#include <vector>

namespace mq::test
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
}
