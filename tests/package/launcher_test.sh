#!/bin/sh
# The launcher's set-up of a user's program folder, against an installed program of its
# own: a stand-in program that does the first start's installation the way the program
# does (and notices when two run it at once), and the delivered files.
#   sh tests/package/launcher_test.sh LAUNCHER
# LAUNCHER is the configured launcher (build/packaging/quorloffice or /usr/bin/quorloffice).
set -u
launcher_source=$1
work=$(mktemp -d "${TMPDIR:-/tmp}/quorl-launcher.XXXXXX") || exit 1
trap 'chmod -R u+w "$work" 2>/dev/null; rm -rf "$work"' EXIT
. "$(dirname "$0")/check.sh"
# As a user's session has it: homes others may enter, files others may read.
umask 022

programs=$work/lib
delivered=$work/share
mkdir -p "$programs" "$delivered"
# The stand-in program: it reports how it was called, the umask it runs with and, while
# the marker is there, moves the delivered files into the data folders as the program's
# first start does.
cat >"$programs/QuorlOffice" <<'EOF'
#!/bin/sh
case ${1:-} in
    --cannot-start)
        printf '%s' "$2" >"$REPORT.reason"
        echo "cannot start" >>"$REPORT"
        exit 1
        ;;
    --program-folder) here=$2; shift 2 ;;
    *) echo "called without a program folder: $*" >>"$REPORT"; exit 9 ;;
esac
echo "umask $(umask)" >>"$REPORT"
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
echo "ran $here${*:+ $*}" >>"$REPORT"
exit "${STUB_STATUS:-0}"
EOF
chmod 755 "$programs/QuorlOffice"
printf 'worker\n' >"$programs/quorl-office"
chmod 755 "$programs/quorl-office"
for f in Lang_English.txt Lang_Italiano.txt Links.Bok Links.000 Links.001 QuorlFirst.txt; do
    printf 'delivered %s\n' "$f" >"$delivered/$f"
done
# Big enough for a small file-size limit to cut its copy short.
for f in template.doc templateh.doc; do
    head -c 8192 /dev/zero | tr '\0' '#' >"$delivered/$f"
done

make_launcher() { # version
    sed -e "s|^programs=.*|programs=$programs|" -e "s|^delivered=.*|delivered=$delivered|" \
        -e "s|^version=.*|version=$1|" "$launcher_source" >"$work/quorloffice"
    chmod 755 "$work/quorloffice"
}
make_launcher 1.0

# Runs the launcher for a user with the home folder $1 (further words: environment), as
# from the desktop without a display to show anything on; one that hangs is ended after
# a minute.
run() {
    home=$1
    shift
    mkdir -p "$home"
    timeout 60 env -i PATH=/usr/bin:/bin HOME="$home" REPORT="$work/report" "$@" "$work/quorloffice" >"$work/out" 2>&1
}
mode() {
    stat -c %a "$1"
}

folder=$work/a/.local/share/QuorlOffice

# First use: the folder is made and the data installed; the installed program runs,
# with the user's folder for its data and the user's own umask.
: >"$work/report"
run "$work/a" STUB_STATUS=3
status=$?
check "the program's exit status is the launcher's" '[ $status -eq 3 ]'
check "first use runs the installed program with the user's folder for the data" \
    'grep -qx "ran $folder" "$work/report" && ! grep -q "called without" "$work/report"'
check "the program runs with the user's umask" 'grep -qx "umask 0022" "$work/report"'
check "first use runs the first start's installation" 'grep -qx firstrun "$work/report"'
check "first use installs the data and leaves no loose file or marker" \
    '[ -f "$folder/Languages/Lang_English.txt" ] && [ -f "$folder/Links/Links.001" ] && [ -f "$folder/Data/Template.doc" ] &&
     [ ! -e "$folder/QuorlFirst.txt" ] && [ ! -e "$folder/Links.001" ]'
check "no copy of the program is made in the user's folder" \
    '[ ! -e "$folder/QuorlOffice" ] && [ ! -e "$folder/quorl-office" ]'
check "the user's folder is the user's alone, its parents as usual" \
    '[ "$(mode "$folder")" = 700 ] && [ "$(mode "$work/a/.local/share")" = 755 ]'
check "the delivered files the first start moved are the user's alone" \
    '[ "$(mode "$folder/Languages/Lang_English.txt")" = 600 ] && [ "$(mode "$folder/Data/Template.doc")" = 600 ]'
check "first use leaves no half-copied file" '! ls -a "$folder" | grep -q "\.new$"'

# Second use: nothing is delivered again; the user's files stay.
printf 'mine\n' >"$folder/Links/Links.001"
printf 'options\n' >"$folder/Data/QuorlOffice.Opt"
: >"$work/report"
run "$work/a"
check "a second use runs the program without a first start" '[ "$(tail -n 1 "$work/report")" = "ran $folder" ] &&
     ! grep -q firstrun "$work/report"'

# Upgrade: new delivered files; the user's files stay.
make_launcher 1.1
printf 'delivered anew\n' >"$delivered/Links.001"
printf 'delivered anew\n' >"$delivered/Lang_English.txt"
: >"$work/report"
run "$work/a"
check "an upgrade keeps the link file the user changed" 'grep -qx mine "$folder/Links/Links.001"'
check "an upgrade keeps the languages and the options" \
    'grep -qx "delivered Lang_English.txt" "$folder/Languages/Lang_English.txt" && grep -qx options "$folder/Data/QuorlOffice.Opt"'
check "an upgrade delivers no data and no marker into an installed folder" \
    '[ ! -e "$folder/QuorlFirst.txt" ] && [ ! -e "$folder/Links.001" ] && grep -qx "ran $folder" "$work/report"'

# The folder as an earlier package left it: open to others, with a copy of the program
# run from there and the stamp of that copy. The copy goes; the user's files stay.
folder=$work/k/.local/share/QuorlOffice
mkdir -p "$folder/Data" "$folder/Languages" "$folder/Links" "$folder/Images"
cp "$programs/QuorlOffice" "$programs/quorl-office" "$folder/"
printf '1.0.1\n' >"$folder/.installed"
printf 'history\n' >"$folder/Data/QuorlOffice.Hys"
printf 'links\n' >"$folder/Links/Links.Bok"
: >"$work/report"
run "$work/k"
check "the earlier package's copy of the program is removed, the installed one runs" \
    '[ ! -e "$folder/QuorlOffice" ] && [ ! -e "$folder/quorl-office" ] && [ ! -e "$folder/.installed" ] &&
     grep -qx "ran $folder" "$work/report"'
check "the earlier package's user keeps the data, and nothing is delivered again" \
    'grep -qx history "$folder/Data/QuorlOffice.Hys" && grep -qx links "$folder/Links/Links.Bok" &&
     [ ! -e "$folder/QuorlFirst.txt" ] && ! grep -q firstrun "$work/report"'

# A portable program folder the user unpacked there by hand is the user's: it stays.
folder=$work/l/.local/share/QuorlOffice
mkdir -p "$folder/Data" "$folder/Languages" "$folder/Links"
cp "$programs/QuorlOffice" "$programs/quorl-office" "$folder/"
run "$work/l"
check "a program folder unpacked by hand keeps its executables" \
    'cmp -s "$programs/QuorlOffice" "$folder/QuorlOffice" && cmp -s "$programs/quorl-office" "$folder/quorl-office"'

# XDG_DATA_HOME holds when it is an absolute path, and is ignored when it is not.
: >"$work/report"
run "$work/b" XDG_DATA_HOME="$work/b/data"
check "XDG_DATA_HOME is the base of the user's folder" 'grep -qx "ran $work/b/data/QuorlOffice" "$work/report"'
: >"$work/report"
run "$work/c" XDG_DATA_HOME=relative/data
check "a relative XDG_DATA_HOME falls back to ~/.local/share" \
    'grep -qx "ran $work/c/.local/share/QuorlOffice" "$work/report"'

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
# find): the launcher ends with it, and the next start tries again. What it was handed
# is the user's alone.
folder=$work/j/.local/share/QuorlOffice
: >"$work/report"
started=$(date +%s)
run "$work/j" STUB_FIRST_START_FAILS=1
status=$?
check "a failed first start ends the launcher at once with its status" \
    '[ $status -eq 4 ] && [ $(($(date +%s) - started)) -lt 10 ] && [ -e "$folder/QuorlFirst.txt" ]'
check "the delivered files and the lock are the user's alone" \
    '[ "$(mode "$folder/QuorlFirst.txt")" = 600 ] && [ "$(mode "$folder/Links.Bok")" = 600 ] &&
     [ "$(mode "$folder/template.doc")" = 600 ] && [ "$(mode "$folder/.lock")" = 600 ]'
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
# The program's own options and addresses reach it, each word as it was given.
: >"$work/report"
env -i PATH=/usr/bin:/bin HOME="$work/g" REPORT="$work/report" "$work/quorloffice" --export=pdf \
    --output="$work/a b/" "http://127.0.0.1/x?y=1&z" >"$work/out" 2>&1
check "the program's options reach it as given" \
    'grep -qx "ran $work/g/.local/share/QuorlOffice --export=pdf --output=$work/a b/ http://127.0.0.1/x?y=1&z" "$work/report"'
env -i PATH=/usr/bin:/bin "$work/quorloffice" >"$work/out" 2>&1
status=$?
check "without HOME the launcher says so" '[ $status -eq 1 ] && grep -q "HOME is not set" "$work/out"'

# A full disk, as a file-size limit that cuts every larger copy short: a first use fails
# with the reason and leaves no half-copied file.
folder=$work/h/.local/share/QuorlOffice
: >"$work/report"
(ulimit -f 4 && run "$work/h")
status=$?
check "a first use on a full disk fails and says why" \
    '[ $status -eq 1 ] && grep -q "Cannot copy QuorlOffice.s files into your folder $folder" "$work/out"'
check "a failed first use leaves no half-copied file and does not start the program" \
    '! ls -a "$folder" | grep -q "\.new$" && ! grep -q "^ran" "$work/report"'
run "$work/h"
check "the first use is made at the next start with room" 'grep -qx firstrun "$work/report"'

# Started from the desktop (a display, nobody at the terminal), the program shows the
# reason itself: whole, in the words and characters of the tool that failed (here
# mkdir's, with its typographic quotes), as the terminal would show it.
: >"$work/file"
: >"$work/report"
run "$work/m" XDG_DATA_HOME="$work/file/data" DISPLAY=:99 LANG=C.UTF-8
status=$?
said=$(sed -n 's/^quorloffice: //p' "$work/out")
check "a folder that cannot be made ends the launcher, and the program shows why" \
    '[ $status -eq 1 ] && grep -qx "cannot start" "$work/report" && [ "$(cat "$work/report.reason")" = "$said" ]'
check "the reason shown is whole: what failed, where, and why" \
    'grep -q "^Cannot make your QuorlOffice folder: mkdir: .*$work/file.*: Not a directory$" "$work/report.reason"'
check "the reason keeps its characters as they are" \
    'grep -q "$(printf "\342\200\230")$work/file" "$work/report.reason"'
: >"$work/report"
run "$work/m" XDG_DATA_HOME="$work/file/data"
check "without a display the reason goes to the terminal alone" \
    'grep -q "Cannot make your QuorlOffice folder" "$work/out" && [ ! -s "$work/report" ]'

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
