#!/bin/sh
# One start of QuorlOffice as the test user sees it, run on a virtual display under the
# window manager by scripts/package-test.sh:
#   session.sh OUT COMMAND...
# starts COMMAND (the launcher, or a program folder's executable), waits for the home
# page, looks at the screen, records what the program and its web engine have loaded,
# and closes the window as a user does, with Alt+F4, until the program has ended.
# Findings go to OUT/result, one "name value" a line; the checks are the caller's.
set -u
out=$1
shift

# The program's processes: the started one and all below it (the launcher may wait for
# the program during its first start; the web engine runs processes of its own).
descendants() {
    cat /proc/[0-9]*/stat 2>/dev/null | awk -v root="$1" '
        { rest = $0; sub(/^.*\) /, "", rest); split(rest, f, " "); parent[$1] = f[2] }
        END {
            keep[root] = 1
            for (changed = 1; changed;) {
                changed = 0
                for (p in parent)
                    if (!(p in keep) && (parent[p] in keep)) { keep[p] = 1; changed = 1 }
            }
            for (p in keep) print p
        }'
}

# A child that has ended but not been waited for still takes signals: kill -0 would
# call it running.
running() {
    state=$(sed 's/.*) //; s/ .*//' "/proc/$1/stat" 2>/dev/null)
    [ -n "$state" ] && [ "$state" != Z ]
}

: >"$out/stderr"
"$@" >"$out/stdout" 2>"$out/stderr" &
pid=$!
loaded=no
i=0
while [ $i -lt 600 ]; do
    if grep -q "QuorlOffice: home page loaded" "$out/stderr"; then
        loaded=yes
        break
    fi
    running "$pid" || break
    sleep 0.1
    i=$((i + 1))
done
echo "loaded $loaded" >>"$out/result"

if [ "$loaded" = yes ]; then
    sleep 1
    window=$(xdotool search --onlyvisible --name '^QuorlOffice$' | head -n 1)
    echo "window ${window:-none}" >>"$out/result"
    # The icon the desktop shows for the window (its taskbar and window list).
    if [ -n "$window" ] && xprop -id "$window" _NET_WM_ICON | grep -q '^_NET_WM_ICON(CARDINAL)'; then
        echo "icon yes" >>"$out/result"
    fi
    import -window root "$out/screen.png"
    # How much of the screen shows the start page's background.
    echo "startpage $(convert "$out/screen.png" -fill black +opaque '#eef4fd' -fill white -opaque '#eef4fd' \
        -format '%[fx:mean]' info:)" >>"$out/result"
    sandboxed=0
    for p in $(descendants "$pid"); do
        cat "/proc/$p/maps" >>"$out/maps" 2>/dev/null
        # The engine's sandbox forks each renderer into process namespaces of its own
        # (more than one number in NSpid) under a system call filter (Seccomp 2).
        if grep -Eq '^NSpid:[[:space:]]+[0-9]+[[:space:]]+[0-9]+' "/proc/$p/status" 2>/dev/null &&
            grep -Eq '^Seccomp:[[:space:]]+2' "/proc/$p/status"; then
            sandboxed=$((sandboxed + 1))
        fi
    done
    echo "sandboxed $sandboxed" >>"$out/result"
fi

# Alt+F4 to the program's window, again while it is still there: the first one may
# arrive before the window manager has made it the active window.
echo "closing $(date +%s)" >>"$out/result"
i=0
while running "$pid" && [ $i -lt 30 ]; do
    window=$(xdotool search --onlyvisible --name '^QuorlOffice$' | head -n 1)
    if [ -n "$window" ]; then
        xdotool windowactivate --sync "$window" key alt+F4 2>/dev/null
    fi
    sleep 1
    i=$((i + 1))
done
if running "$pid"; then
    echo "closed no" >>"$out/result"
    kill "$pid"
fi
wait "$pid"
echo "status $?" >>"$out/result"
