#include "JuceHost.h"

namespace mqjuce
{
    HostSession::HostSession()
    {
        mqtest::prepareX11();
        gui = std::make_unique<juce::ScopedJuceInitialiser_GUI>();
    }

    HostSession::~HostSession() = default;

    void pump (int milliseconds)
    {
        juce::MessageManager::getInstance()->runDispatchLoopUntil (milliseconds);
    }

    bool pumpUntil (const std::function<bool()>& done, int timeoutMilliseconds)
    {
        const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) timeoutMilliseconds;

        while (! done())
        {
            if (juce::Time::getMillisecondCounter() > end)
                return false;

            pump (5);
        }

        return true;
    }

    juce::File bundleOf (const juce::File& pluginBinary)
    {
        return pluginBinary.getParentDirectory().getParentDirectory().getParentDirectory();
    }

    std::unique_ptr<juce::AudioPluginInstance> loadVst3 (const juce::File& bundle, double sampleRate, int blockSize,
                                                         juce::String& error)
    {
        juce::VST3PluginFormat format;
        juce::OwnedArray<juce::PluginDescription> types;
        format.findAllTypesForFile (types, bundle.getFullPathName());

        if (types.isEmpty())
        {
            error = "no plug-in found in " + bundle.getFullPathName();
            return {};
        }

        return format.createInstanceFromDescription (*types.getFirst(), sampleRate, blockSize, error);
    }

    juce::Image toImage (const std::vector<std::uint32_t>& argb, int width, int height)
    {
        if (argb.empty())
            return {};

        juce::Image image (juce::Image::ARGB, width, height, false);
        const juce::Image::BitmapData pixels (image, juce::Image::BitmapData::writeOnly);

        for (auto y = 0; y < height; ++y)
            for (auto x = 0; x < width; ++x)
                pixels.setPixelColour (x, y, juce::Colour (argb[(size_t) (y * width + x)]));

        return image;
    }

    PluginWindow::PluginWindow (juce::AudioPluginInstance& pluginInstance)
        : instance (pluginInstance)
    {
        setOpaque (true);
        setTopLeftPosition (40, 40);
    }

    PluginWindow::~PluginWindow()
    {
        close();
    }

    bool PluginWindow::open()
    {
        if (editor != nullptr)
            return true;

        editor.reset (instance.createEditorIfNeeded());

        if (editor == nullptr)
            return false;

        setSize (editor->getWidth(), editor->getHeight());
        addAndMakeVisible (*editor);

        if (! isOnDesktop())
            addToDesktop (0);

        // The view is attached when the editor becomes visible on screen.
        setVisible (true);
        return true;
    }

    void PluginWindow::close()
    {
        if (editor == nullptr)
            return;

        removeChildComponent (editor.get());
        editor.reset();
        setVisible (false);
    }

    void PluginWindow::childBoundsChanged (juce::Component* child)
    {
        if (child == editor.get())
            setSize (editor->getWidth(), editor->getHeight());
    }

    std::optional<mqtest::WindowGeometry> PluginWindow::pluginView() const
    {
        auto* peer = getPeer();

        if (peer == nullptr)
            return {};

        std::optional<mqtest::WindowGeometry> innermost;

        const auto key = [] (const mqtest::WindowGeometry& w) { return std::make_pair (w.depth, w.width * w.height); };

        for (const auto& window : mqtest::descendantWindows ((unsigned long) (juce::pointer_sized_uint) peer->getNativeHandle()))
            if (window.viewable && (! innermost.has_value() || key (window) > key (*innermost)))
                innermost = window;

        return innermost;
    }

    juce::Image PluginWindow::screenshot() const
    {
        auto* peer = getPeer();

        if (peer == nullptr)
            return {};

        int width = 0, height = 0;
        const auto pixels = mqtest::captureWindow ((unsigned long) (juce::pointer_sized_uint) peer->getNativeHandle(), width, height);
        return toImage (pixels, width, height);
    }
}
