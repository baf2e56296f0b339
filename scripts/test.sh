#!/usr/bin/env bash
# Installs what QuorlOffice needs, builds it with its tests and runs every test on a
# virtual display with a window manager, as on a user's desktop.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
source scripts/engine-env.sh
cd build
xvfb-run -a -s "$XVFB_SCREEN" ../scripts/desktop-session.sh ctest --output-on-failure --timeout 1200 -j 2
