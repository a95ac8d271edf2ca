#pragma once

#include "X11Support.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <functional>
#include <memory>
#include <optional>

// Hosting VST3 plug-ins in test programs with JUCE's own VST3 hosting: loading a bundle,
// showing a plug-in's view in a real window under X, and looking at it from the X server.
namespace mqjuce
{
    // JUCE's GUI and message loop for a test program without a JUCEApplication. One at a time.
    class HostSession final
    {
    public:
        HostSession();
        ~HostSession();

    private:
        std::unique_ptr<juce::ScopedJuceInitialiser_GUI> gui;

        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (HostSession)
    };

    // Runs the message loop, which also serves a hosted plug-in's messages once its view is attached.
    void pump (int milliseconds);
    bool pumpUntil (const std::function<bool()>& done, int timeoutMilliseconds = 5000);

    // The bundle folder of a plug-in binary at <bundle>.vst3/Contents/<architecture>/<name>.so.
    juce::File bundleOf (const juce::File& pluginBinary);

    std::unique_ptr<juce::AudioPluginInstance> loadVst3 (const juce::File& bundle, double sampleRate, int blockSize,
                                                         juce::String& error);

    juce::Image toImage (const std::vector<std::uint32_t>& argb, int width, int height);

    // A top-level window that shows a plug-in's editor as a host's plug-in window does, and
    // follows the size that the plug-in's view asks for.
    class PluginWindow final : public juce::Component
    {
    public:
        explicit PluginWindow (juce::AudioPluginInstance&);
        ~PluginWindow() override;

        // Creates the plug-in's view and attaches it to this window, which is put on screen.
        bool open();
        // Detaches and releases the view, as a host does when the user closes the window.
        void close();

        juce::AudioProcessorEditor* getHostEditor() const noexcept { return editor.get(); }

        // The plug-in's own window: the innermost viewable X window inside this one (the largest,
        // where JUCE's embedding adds small helper windows beside it).
        std::optional<mqtest::WindowGeometry> pluginView() const;

        // What the X server shows of this window, the plug-in's window included.
        juce::Image screenshot() const;

        void childBoundsChanged (juce::Component*) override;

    private:
        juce::AudioPluginInstance& instance;
        std::unique_ptr<juce::AudioProcessorEditor> editor;

        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PluginWindow)
    };
}
