#!/usr/bin/env bash
# Builds the program, its office worker and its tests with AddressSanitizer and
# UndefinedBehaviorSanitizer into build-asan/, and runs the unit tests, the GUI tests and
# the end-to-end test there on a virtual display with a window manager. Any report from
# the program's own code fails the run; what lies wholly inside the web engine or
# LibreOffice is listed, with the reason, in tests/sanitizers/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON -DQUORL_SANITIZE=ON \
  > build-asan.configure.log 2>&1 || { cat build-asan.configure.log; exit 1; }
rm -f build-asan.configure.log
cmake --build build-asan --parallel "$(nproc)"
ASAN_OPTIONS=$(grep -v '^#' tests/sanitizers/asan.options | grep . | paste -sd: -)
export ASAN_OPTIONS
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:suppressions=$PWD/tests/sanitizers/ubsan.supp"
source scripts/engine-env.sh
cd build-asan
xvfb-run -a -s "$XVFB_SCREEN" ../scripts/desktop-session.sh ctest --output-on-failure --timeout 3000 -j 1
