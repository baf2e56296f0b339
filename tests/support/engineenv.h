#pragma once

#include <QtGlobal>

// The web engine as the tests and benchmarks run it: no sandbox (they run as root), no
// GPU on the virtual display, no background connections to the outside.
inline void prepareEngineForTests()
{
    if (qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    if (qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu --disable-background-networking");
}
