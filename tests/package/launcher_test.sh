#!/bin/sh
# The launcher's set-up of a user's program folder, against an installed folder of its
# own: a stand-in program that does the first start's installation the way the program
# does (and notices when two run it at once), and a stand-in office worker.
#   sh tests/package/launcher_test.sh LAUNCHER
# LAUNCHER is the configured launcher (build/packaging/quorloffice or /usr/bin/quorloffice).
set -u
launcher_source=$1
work=$(mktemp -d "${TMPDIR:-/tmp}/quorl-launcher.XXXXXX") || exit 1
trap 'chmod -R u+w "$work" 2>/dev/null; rm -rf "$work"' EXIT
. "$(dirname "$0")/check.sh"

system=$work/opt
mkdir -p "$system"
# The stand-in program: it reports where it runs and, while the marker is there, moves
# the delivered files into the data folders as the program's first start does.
cat >"$system/QuorlOffice" <<'EOF'
#!/bin/sh
here=$(dirname "$(readlink -f "$0")")
if [ -e "$here/QuorlFirst.txt" ]; then
    [ -z "${STUB_FIRST_START_FAILS:-}" ] || exit 4
    mkdir "$here/.busy" 2>/dev/null || echo overlap >>"$REPORT"
    sleep 0.3
    mkdir -p "$here/Links" "$here/Data" "$here/Languages" "$here/Images"
    for f in "$here"/Links.*; do
        [ -e "$here/Links/${f##*/}" ] || cp "$f" "$here/Links/"
        rm -f "$f"
    done
    for f in "$here"/Lang_*.txt; do mv -f "$f" "$here/Languages/"; done
    mv -f "$here/template.doc" "$here/Data/Template.doc"
    mv -f "$here/templateh.doc" "$here/Data/TemplateH.doc"
    echo firstrun >>"$REPORT"
    rm -f "$here/QuorlFirst.txt"
    rmdir "$here/.busy"
fi
echo "ran $here" >>"$REPORT"
exit "${STUB_STATUS:-0}"
EOF
# Big enough for a small file-size limit to cut its copy short.
head -c 4096 /dev/zero | tr '\0' '#' >>"$system/QuorlOffice"
chmod 755 "$system/QuorlOffice"
printf 'worker 1\n' >"$system/quorl-office"
chmod 755 "$system/quorl-office"
for f in Lang_English.txt Lang_Italiano.txt Links.Bok Links.000 Links.001 template.doc templateh.doc QuorlFirst.txt; do
    printf 'delivered %s\n' "$f" >"$system/$f"
done

make_launcher() { # version
    sed -e "s|^system=.*|system=$system|" -e "s|^version=.*|version=$1|" "$launcher_source" >"$work/quorloffice"
    chmod 755 "$work/quorloffice"
}
make_launcher 1.0

# Runs the launcher for a user with the home folder $1 (further words: environment); a
# launcher that hangs is ended after a minute.
run() {
    home=$1
    shift
    mkdir -p "$home"
    timeout 60 env -i PATH=/usr/bin:/bin HOME="$home" REPORT="$work/report" "$@" "$work/quorloffice" >"$work/out" 2>&1
}

folder=$work/a/.local/share/QuorlOffice

# First use: the folder is made, the program copied and installed, and run from there.
: >"$work/report"
run "$work/a" STUB_STATUS=3
status=$?
check "the program's exit status is the launcher's" '[ $status -eq 3 ]'
check "first use runs the program from the user's folder" 'grep -qx "ran $folder" "$work/report"'
check "first use runs the first start's installation" 'grep -qx firstrun "$work/report"'
check "first use installs the data and leaves no loose file or marker" \
    '[ -f "$folder/Languages/Lang_English.txt" ] && [ -f "$folder/Links/Links.001" ] && [ -f "$folder/Data/Template.doc" ] &&
     [ ! -e "$folder/QuorlFirst.txt" ] && [ ! -e "$folder/Links.001" ]'
check "first use copies the office worker" 'cmp -s "$system/quorl-office" "$folder/quorl-office"'
check "first use records the version" 'head -n 1 "$folder/.installed" | grep -qx 1.0'
check "first use leaves no half-copied file" '! ls -a "$folder" | grep -q "\.new$"'

# Second use: nothing is copied again; the user's files stay.
inode=$(stat -c %i "$folder/quorl-office")
printf 'mine\n' >"$folder/Links/Links.001"
printf 'options\n' >"$folder/Data/QuorlOffice.Opt"
: >"$work/report"
run "$work/a"
check "a second use copies nothing again" '[ "$(stat -c %i "$folder/quorl-office")" = "$inode" ]'
check "a second use runs the installed folder without a first start" \
    '[ "$(cat "$work/report")" = "ran $folder" ]'

# Upgrade: the program is refreshed; the data folders and the user's changes stay.
make_launcher 1.1
printf 'worker 2\n' >"$system/quorl-office"
printf 'delivered anew\n' >"$system/Links.001"
printf 'delivered anew\n' >"$system/Lang_English.txt"
: >"$work/report"
run "$work/a"
check "an upgrade refreshes the office worker" 'cmp -s "$system/quorl-office" "$folder/quorl-office"'
check "an upgrade records the new version" 'head -n 1 "$folder/.installed" | grep -qx 1.1'
check "an upgrade keeps the link file the user changed" 'grep -qx mine "$folder/Links/Links.001"'
check "an upgrade keeps the languages and the options" \
    'grep -qx "delivered Lang_English.txt" "$folder/Languages/Lang_English.txt" && grep -qx options "$folder/Data/QuorlOffice.Opt"'
check "an upgrade delivers no data and no marker into an installed folder" \
    '[ ! -e "$folder/QuorlFirst.txt" ] && [ ! -e "$folder/Links.001" ] && [ "$(cat "$work/report")" = "ran $folder" ]'

# A rebuilt package of the same version is noticed by its files.
printf 'worker 2, rebuilt\n' >"$system/quorl-office"
run "$work/a"
check "a rebuild of the same version refreshes the worker" 'cmp -s "$system/quorl-office" "$folder/quorl-office"'

# A program file the user lost is copied again.
rm -f "$folder/quorl-office"
run "$work/a"
check "a missing program file is copied again" 'cmp -s "$system/quorl-office" "$folder/quorl-office"'

# XDG_DATA_HOME holds when it is an absolute path, and is ignored when it is not.
: >"$work/report"
run "$work/b" XDG_DATA_HOME="$work/b/data"
check "XDG_DATA_HOME is the base of the user's folder" 'grep -qx "ran $work/b/data/QuorlOffice" "$work/report"'
: >"$work/report"
run "$work/c" XDG_DATA_HOME=relative/data
check "a relative XDG_DATA_HOME falls back to ~/.local/share" \
    'grep -qx "ran $work/c/.local/share/QuorlOffice" "$work/report"'

# A copy interrupted before the stamp: the next start completes it.
folder=$work/d/.local/share/QuorlOffice
mkdir -p "$folder"
cp "$system/QuorlOffice" "$folder/"
: >"$work/report"
run "$work/d"
check "an interrupted first copy is completed" \
    'grep -qx firstrun "$work/report" && [ -f "$folder/Languages/Lang_Italiano.txt" ] && [ -f "$folder/.installed" ]'

# An installation the first start did not finish (files moved, marker still there): the
# delivered files come again and the first start finishes it.
folder=$work/e/.local/share/QuorlOffice
run "$work/e"
printf 'delivered QuorlFirst.txt\n' >"$folder/QuorlFirst.txt"
printf 'mine\n' >"$folder/Links/Links.000"
rm -rf "$folder/Data"
: >"$work/report"
run "$work/e"
check "an unfinished installation is finished" \
    'grep -qx firstrun "$work/report" && [ -f "$folder/Data/TemplateH.doc" ] && [ ! -e "$folder/QuorlFirst.txt" ]'
check "finishing it keeps the user's link file" 'grep -qx mine "$folder/Links/Links.000"'

# A first start that ends with the marker still there (a delivered file it could not
# find): the launcher ends with it, and the next start tries again.
folder=$work/j/.local/share/QuorlOffice
: >"$work/report"
started=$(date +%s)
run "$work/j" STUB_FIRST_START_FAILS=1
status=$?
check "a failed first start ends the launcher at once with its status" \
    '[ $status -eq 4 ] && [ $(($(date +%s) - started)) -lt 10 ] && [ -e "$folder/QuorlFirst.txt" ]'
run "$work/j"
check "the next start finishes the installation" 'grep -qx firstrun "$work/report" && [ ! -e "$folder/QuorlFirst.txt" ]'

# Three first starts at once: one folder, and the first start's installation runs once,
# never two at a time.
: >"$work/report"
for i in 1 2 3; do
    env -i PATH=/usr/bin:/bin HOME="$work/f" REPORT="$work/report" "$work/quorloffice" >"$work/out$i" 2>&1 &
done
wait
folder=$work/f/.local/share/QuorlOffice
check "concurrent first starts all run the program" '[ "$(grep -c "^ran $folder$" "$work/report")" -eq 3 ]'
check "concurrent first starts install once, one at a time" \
    '[ "$(grep -c firstrun "$work/report")" -eq 1 ] && ! grep -q overlap "$work/report"'

# Options and bad calls.
env -i PATH=/usr/bin:/bin HOME="$work/g" "$work/quorloffice" --version >"$work/out" 2>&1
check "--version names the version" 'grep -qx "QuorlOffice 1.1" "$work/out"'
env -i PATH=/usr/bin:/bin HOME="$work/g" "$work/quorloffice" --bogus >"$work/out" 2>&1
status=$?
check "an unknown option is refused with the usage" '[ $status -eq 2 ] && grep -q Usage "$work/out"'
env -i PATH=/usr/bin:/bin "$work/quorloffice" >"$work/out" 2>&1
status=$?
check "without HOME the launcher says so" '[ $status -eq 1 ] && grep -q "HOME is not set" "$work/out"'

# A full disk, as a file-size limit that cuts every larger copy short: a first use
# fails with the reason and leaves no half-copied program; an upgrade that cannot be
# copied starts the version already there.
folder=$work/h/.local/share/QuorlOffice
(ulimit -f 4 && run "$work/h")
status=$?
check "a first use on a full disk fails and says why" \
    '[ $status -eq 1 ] && grep -q "Cannot copy QuorlOffice into your folder" "$work/out"'
check "a failed first use leaves no program and no half-copied file" \
    '[ ! -e "$folder/QuorlOffice" ] && ! ls -a "$folder" | grep -q "\.new$"'
run "$work/h"
make_launcher 1.2
head -c 8192 /dev/zero >>"$system/quorl-office"
: >"$work/report"
(ulimit -f 4 && run "$work/h")
status=$?
check "an upgrade on a full disk starts the version already there" \
    '[ $status -eq 0 ] && grep -qx "ran $folder" "$work/report" && grep -q "cannot update the program" "$work/out"'
check "a failed upgrade keeps the old set whole and the old stamp" \
    '! cmp -s "$system/quorl-office" "$folder/quorl-office" && head -n 1 "$folder/.installed" | grep -qx 1.1 &&
     ! ls -a "$folder" | grep -q "\.new$"'
run "$work/h"
check "the upgrade is made at the next start with room" 'cmp -s "$system/quorl-office" "$folder/quorl-office"'

# Permissions do not hold for root.
if [ "$(id -u)" -ne 0 ]; then
    mkdir -p "$work/i/.local/share"
    chmod 555 "$work/i/.local/share"
    run "$work/i"
    status=$?
    check "a read-only home fails and names the folder" \
        '[ $status -eq 1 ] && grep -q "Cannot make your QuorlOffice folder" "$work/out"'
    chmod 755 "$work/i/.local/share"
else
    echo "ok - a read-only home # SKIP as root"
fi

[ "$failures" -eq 0 ] || { echo "$failures launcher checks failed" >&2; exit 1; }
