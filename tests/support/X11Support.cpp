#include "X11Support.h"

#include <X11/Xlib.h>

namespace mq::test
{
    namespace
    {
        int ignoreError (Display*, XErrorEvent*)
        {
            return 0;
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
}
