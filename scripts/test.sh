#!/usr/bin/env bash
# Installs what QuorlOffice needs, builds it with its tests and runs every test on a
# virtual display.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
source scripts/engine-env.sh
cd build
xvfb-run -a -s "$XVFB_SCREEN" ctest --output-on-failure --timeout 1200 -j 2
