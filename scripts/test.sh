#!/usr/bin/env bash
# Installs what QuorlOffice needs, builds it with its tests and runs every test on a
# virtual display with a window manager, as on a user's desktop; then makes the
# packages and tries the .deb as a new user would (scripts/package-test.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
# The benchmarks are not part of the everyday build; they are built here so they never
# stop compiling unnoticed.
cmake --build build --parallel "$(nproc)" --target export_bench zip_bench
# Configuring again must leave a built tree as it is: generated files are rewritten only
# when their content changes, so nothing is rebuilt or relinked.
cmake -S . -B build > /dev/null
if ninja -C build -n | grep -E 'Building|Linking'; then
  echo "configuring again would rebuild the program" >&2
  exit 1
fi
# Each reader of the program's files, fuzzed for a few seconds so the targets cannot rot.
bash scripts/fuzz.sh 5
source scripts/engine-env.sh
cd build
xvfb-run -a -s "$XVFB_SCREEN" ../scripts/desktop-session.sh ctest --output-on-failure --timeout 1200 -j 2
bash ../scripts/package-test.sh
