#!/usr/bin/env bash
# Runs a command on the current X display under a real window manager (openbox), as a
# user's desktop session has one: windows get frames, activation and keyboard focus.
# The window manager is started first and stopped when the command ends; the command's
# exit status is kept. Used by the test command and the run script on a virtual display.
set -uo pipefail
if [ -z "${DISPLAY:-}" ]; then
  echo "desktop-session.sh: no DISPLAY" >&2
  exit 2
fi
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
# The window manager is ready once it has claimed the screen.
for _ in $(seq 1 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.05
done
"$@"
status=$?
kill "$wm" 2>/dev/null
wait "$wm" 2>/dev/null
exit $status
