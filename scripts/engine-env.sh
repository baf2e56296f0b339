# Sourced by the scripts: how the web engine is started on this machine. As root the
# engine's sandbox cannot run; on a virtual display there is no GPU; and nothing
# should open background connections to the outside.
if [ "$(id -u)" -eq 0 ]; then export QTWEBENGINE_DISABLE_SANDBOX=1; fi
export QTWEBENGINE_CHROMIUM_FLAGS="${QTWEBENGINE_CHROMIUM_FLAGS:---disable-gpu --disable-background-networking}"
XVFB_SCREEN="-screen 0 1280x1024x24"
