#pragma once

namespace mq::test
{
    // Test programs that open JUCE windows without a JUCEApplication must do what JUCE does only
    // for standalone apps: call XInitThreads before any other Xlib call, and install an error
    // handler, since without a window manager harmless errors such as BadAtom would otherwise
    // end the process. Call before creating juce::ScopedJuceInitialiser_GUI.
    void prepareX11();
}
