#!/bin/sh
# The installed office worker, run as the test user by scripts/package-test.sh with the
# user's program folder: it starts LibreOffice through LibreOfficeKit and writes a PDF
# of the word-processor template installed there, a new spreadsheet and a new
# presentation, so that Writer, Calc and Impress all run from what the package pulled in.
#   worker.sh FOLDER OUT
# The documents, the replies and what the worker has loaded go to OUT.
set -u
folder=$1
out=$2
running() {
    state=$(sed 's/.*) //; s/ .*//' "/proc/$1/stat" 2>/dev/null)
    [ -n "$state" ] && [ "$state" != Z ]
}

mkfifo "$out/requests"
: >"$out/replies"
# Started as the program starts it: with a folder of its own for what LibreOffice keeps
# meanwhile, which also takes what it would otherwise write below the home when the
# session has no runtime folder and the home no settings folder.
mkdir "$out/own"
if [ -d "$HOME/.config" ]; then
    config=${XDG_CONFIG_HOME:-}
else
    config=${XDG_CONFIG_HOME:-$out/own}
fi
env TMPDIR="$out/own" XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$out/own}" ${config:+"XDG_CONFIG_HOME=$config"} \
    /usr/lib/quorloffice/quorl-office <"$out/requests" >"$out/replies" 2>"$out/worker.err" &
worker=$!
exec 7>"$out/requests"
asked=0

# The worker's answers, without the lines that only say it is alive or how far it is.
answers() {
    grep -v -e '^{"beat"' -e '^{"progress"' "$out/replies"
}

# One request; its reply must come within a minute and say ok.
ask() {
    printf '%s\n' "$1" >&7
    asked=$((asked + 1))
    i=0
    while [ "$(answers | wc -l)" -lt "$asked" ]; do
        running "$worker" && [ $i -lt 600 ] || { echo "no reply to $1" >&2; return 1; }
        sleep 0.1
        i=$((i + 1))
    done
    answers | tail -n 1 | grep -q '"ok":true' || { echo "failed: $1" >&2; return 1; }
}

ask '{"op":"init","install":"/usr/lib/libreoffice/program","profile":"file://'"$out"'/profile"}' &&
    ask '{"op":"load","path":"'"$folder"'/Data/Template.doc","copy":true}' &&
    ask '{"op":"saveAs","path":"'"$out"'/template.pdf","format":"pdf"}' &&
    ask '{"op":"load","factory":"scalc"}' &&
    ask '{"op":"saveAs","path":"'"$out"'/sheet.xls","format":"xls"}' &&
    ask '{"op":"load","factory":"simpress","render":true}' &&
    ask '{"op":"saveAs","path":"'"$out"'/slides.ppt","format":"ppt"}'
status=$?
cat "/proc/$worker/maps" >"$out/maps" 2>/dev/null
printf '%s\n' '{"op":"quit"}' >&7
exec 7>&-
wait "$worker"
exit "$status"
