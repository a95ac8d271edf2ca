#include "X11Support.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

namespace mqtest
{
    namespace
    {
        int ignoreError (Display*, XErrorEvent*)
        {
            return 0;
        }

        // A connection of our own: window IDs are global to the server, so windows created
        // through JUCE's connections can be inspected from here.
        Display* display()
        {
            static Display* const connection = XOpenDisplay (nullptr);
            return connection;
        }

        void collect (Display* d, Window window, int depth, std::vector<WindowGeometry>& found)
        {
            Window root = 0, parent = 0;
            Window* children = nullptr;
            unsigned int count = 0;

            if (XQueryTree (d, window, &root, &parent, &children, &count) == 0)
                return;

            for (unsigned int i = 0; i < count; ++i)
            {
                XWindowAttributes attributes {};

                if (XGetWindowAttributes (d, children[i], &attributes) != 0)
                    found.push_back ({ children[i], attributes.width, attributes.height, depth, attributes.map_state == IsViewable });

                collect (d, children[i], depth + 1, found);
            }

            if (children != nullptr)
                XFree (children);
        }
    }

    void prepareX11()
    {
        static const auto prepared = []
        {
            XInitThreads();
            XSetErrorHandler (ignoreError);
            return true;
        }();

        (void) prepared;
    }

    std::vector<WindowGeometry> descendantWindows (unsigned long window)
    {
        std::vector<WindowGeometry> found;

        if (auto* d = display())
        {
            XSync (d, False);
            collect (d, (Window) window, 1, found);
        }

        return found;
    }

    std::vector<std::uint32_t> captureWindow (unsigned long window, int& width, int& height)
    {
        width = height = 0;
        auto* d = display();
        XWindowAttributes attributes {};

        if (d == nullptr || XGetWindowAttributes (d, (Window) window, &attributes) == 0)
            return {};

        XSync (d, False);
        auto* image = XGetImage (d, (Window) window, 0, 0, (unsigned int) attributes.width, (unsigned int) attributes.height,
                                 AllPlanes, ZPixmap);

        if (image == nullptr)
            return {};

        width = attributes.width;
        height = attributes.height;
        std::vector<std::uint32_t> pixels ((size_t) (width * height));

        for (auto y = 0; y < height; ++y)
            for (auto x = 0; x < width; ++x)
                pixels[(size_t) (y * width + x)] = 0xff000000u | (std::uint32_t) (XGetPixel (image, x, y) & 0xffffffu);

        XDestroyImage (image);
        return pixels;
    }

    std::uint32_t pixelAt (unsigned long window, int x, int y)
    {
        auto* d = display();

        if (d == nullptr)
            return 0;

        auto* image = XGetImage (d, (Window) window, x, y, 1, 1, AllPlanes, ZPixmap);

        if (image == nullptr)
            return 0;

        const auto pixel = (std::uint32_t) (XGetPixel (image, 0, 0) & 0xffffffu);
        XDestroyImage (image);
        return pixel;
    }

    bool canSynthesiseInput()
    {
        int eventBase = 0, errorBase = 0, major = 0, minor = 0;
        auto* d = display();
        return d != nullptr && XTestQueryExtension (d, &eventBase, &errorBase, &major, &minor) != 0;
    }

    void movePointer (unsigned long window, int x, int y)
    {
        auto* d = display();
        int rootX = 0, rootY = 0;
        Window child = 0;

        if (XTranslateCoordinates (d, (Window) window, DefaultRootWindow (d), x, y, &rootX, &rootY, &child) == 0)
            return;

        XTestFakeMotionEvent (d, -1, rootX, rootY, CurrentTime);
        XFlush (d);
    }

    void setLeftButton (bool down)
    {
        auto* d = display();
        XTestFakeButtonEvent (d, 1, down ? True : False, CurrentTime);
        XFlush (d);
    }
}
