#!/usr/bin/env bash
# Installs what QuorlOffice needs, builds it and starts it. Without a display it runs
# on a virtual one and writes a screenshot of the main window once the home page has
# loaded.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
source scripts/engine-env.sh
program="$PWD/build/QuorlOffice/QuorlOffice"

if [ -n "${DISPLAY:-}" ]; then
  exec "$program"
fi

shot="$PWD/build/screenshot.png"
log="$PWD/build/run.log"
rm -f "$shot"
xvfb-run -a -s "$XVFB_SCREEN" bash -c '
  "$1" > "$2" 2>&1 &
  pid=$!
  for _ in $(seq 1 300); do
    grep -q "home page loaded" "$2" 2>/dev/null && break
    kill -0 $pid 2>/dev/null || break
    sleep 0.1
  done
  sleep 0.5
  import -window root "$3"
  kill $pid 2>/dev/null || true
  wait $pid 2>/dev/null || true
' _ "$program" "$log" "$shot"
if [ -f "$shot" ]; then
  echo "QuorlOffice ran on a virtual display; screenshot of the main window: $shot"
else
  echo "QuorlOffice did not show its main window; see $log" >&2
  exit 1
fi
