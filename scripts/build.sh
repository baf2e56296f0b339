#!/usr/bin/env bash
# Configures and builds QuorlOffice into build/ (the program folder is build/QuorlOffice).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON > build.configure.log 2>&1 \
  || { cat build.configure.log; exit 1; }
rm -f build.configure.log
cmake --build build --parallel "$(nproc)"
