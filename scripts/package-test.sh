#!/usr/bin/env bash
# The packages as a user meets them. From the built tree (build/) it makes the .deb and
# the .tar.gz, checks the .deb with lintian, its desktop entry and AppStream metadata,
# and installs it with apt-get. Then, as a new user made for the run, it starts the
# program through the launcher on a virtual display with the window manager: the user's
# program folder is set up and installed, the window shows the home page, closing it
# writes the options there, a second start reuses the folder, the office worker makes
# documents with LibreOffice, and an upgrade to a higher version keeps a link file the
# user changed. Everything the program and its web engine load at run time must come
# from the packages the .deb depends on. The package, the user and every file are
# removed at the end, also when a check fails.
#
# It installs a package and adds a user, so it runs as root (CI does); the test command
# calls it after the other tests. A quorloffice package installed before is removed.
set -euo pipefail
cd "$(dirname "$0")/.."
source=$PWD
if [ "$(id -u)" -ne 0 ]; then
  if sudo -n true 2>/dev/null; then
    exec sudo -n bash "$0" "$@"
  fi
  echo "package test NOT RUN: it installs a package and adds a user, which needs root" >&2
  exit 0
fi
source scripts/engine-env.sh
unset QTWEBENGINE_DISABLE_SANDBOX
export DEBIAN_FRONTEND=noninteractive

# Two runs at once would install and remove the same package under each other.
exec 8>/tmp/quorloffice-package-test.lock
flock 8

tmp=$(mktemp -d /tmp/quorl-package.XXXXXX)
chmod 755 "$tmp"
user=quorltest$$
session=
installed=no
cleanup() {
  local status=$?
  set +e
  if [ -n "$session" ]; then kill -- -"$session" 2>/dev/null; fi
  if id "$user" >/dev/null 2>&1; then userdel --force --remove "$user" 2>/dev/null; fi
  if [ "$installed" = yes ]; then apt-get purge -y -q quorloffice >/dev/null; fi
  rm -rf "$tmp"
  if [ $status -ne 0 ]; then echo "package test FAILED" >&2; fi
  exit $status
}
trap cleanup EXIT

. tests/package/check.sh
die() {
  echo "$1" >&2
  exit 1
}
result() { # session name: a value the session found
  sed -n "s/^$2 //p" "$tmp/$1/result"
}

# --- The packages -----------------------------------------------------------------
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/CMakeCache.txt)
(cd build && cpack -G DEB -B "$tmp/packages" && cpack -G TGZ -B "$tmp/packages") >"$tmp/cpack.log" 2>&1 \
  || { cat "$tmp/cpack.log"; die "cpack failed"; }
deb=$tmp/packages/quorloffice_${version}_$(dpkg --print-architecture).deb
tgz=$(ls "$tmp"/packages/quorloffice-"$version"-linux-*.tar.gz)
check "the .deb carries the project's version" '[ -f "$deb" ] && [ "$(dpkg-deb -f "$deb" Version)" = "$version" ]'

# Errors and warnings fail; what is kept is explained in packaging/lintian-overrides.
lintian_status=0
lintian -I --fail-on error,warning "$deb" >"$tmp/lintian.log" 2>&1 || lintian_status=$?
grep -v 'running with root privileges' "$tmp/lintian.log" | sed 's/^/  lintian: /' || true
check "lintian finds no error and no unexplained warning" '[ $lintian_status -eq 0 ]'

depends=$(dpkg-deb -f "$deb" Depends)
check "Depends names the web engine's process, the SVG engine, LibreOffice's applications, the opener and the fonts" \
  '(for p in libqt6webenginewidgets6 libqt6webenginecore6-bin libqt6svg6 libzip4 libreoffice-writer libreoffice-calc \
            libreoffice-impress xdg-utils fonts-dejavu-core; do grep -Eq "(^|, )$p( |,|$)" <<<"$depends" || exit 1; done)'
check "Depends names nothing for building and no headless LibreOffice" \
  '! grep -Eq -- "-dev( |,|$)|-nogui|cmake|ninja|g\+\+|gcc( |,|$)" <<<"$depends"'

dpkg-deb -x "$deb" "$tmp/deb"
check "the desktop entry passes desktop-file-validate" \
  'desktop-file-validate "$tmp/deb/usr/share/applications/org.quorloffice.QuorlOffice.desktop"'
check "the AppStream metadata passes appstreamcli validate" \
  'appstreamcli validate --no-net "$tmp/deb/usr/share/metainfo/org.quorloffice.QuorlOffice.metainfo.xml" >/dev/null'
check "the metadata's release is the project's version" \
  'grep -q "<release version=\"$version\"" "$tmp/deb/usr/share/metainfo/org.quorloffice.QuorlOffice.metainfo.xml"'
check "the icon is there at every size, each drawn at its size, and scalable" \
  '(for s in 16 22 24 32 48 64 128 256; do
     file "$tmp/deb/usr/share/icons/hicolor/${s}x$s/apps/quorloffice.png" | grep -q "PNG image data, $s x $s," || exit 1
   done) && [ -f "$tmp/deb/usr/share/icons/hicolor/scalable/apps/quorloffice.svg" ]'
check "the manual page is there" '[ -f "$tmp/deb/usr/share/man/man1/quorloffice.1.gz" ]'

# Both packages hold the program folder as the build lays it out: the executables and
# the delivered files with the first-run marker.
mkdir "$tmp/portable"
tar -xzf "$tgz" -C "$tmp/portable"
check "the archive unpacks to the program folder alone" '[ "$(ls -A "$tmp/portable")" = QuorlOffice ]'
(cd "$tmp/deb/opt/quorloffice" && ls -A) >"$tmp/deb.files"
(cd "$tmp/portable/QuorlOffice" && ls -A) >"$tmp/tgz.files"
check "the .deb and the archive hold the same program folder" 'cmp -s "$tmp/deb.files" "$tmp/tgz.files"'
check "the program folder holds the executables and the marker" \
  'grep -qx QuorlOffice "$tmp/deb.files" && grep -qx quorl-office "$tmp/deb.files" && grep -qx QuorlFirst.txt "$tmp/deb.files"'
check "every delivered file is the one the build lays out" \
  '(while read -r f; do
     case $f in QuorlOffice | quorl-office) [ -x "build/QuorlOffice/$f" ] || exit 1 ;;
       *) cmp -s "$tmp/deb/opt/quorloffice/$f" "build/QuorlOffice/$f" || exit 1 ;; esac
   done <"$tmp/deb.files")'

# --- Installed, and used by a new user ---------------------------------------------
apt-get install -y -q -o DPkg::Lock::Timeout=600 "$deb" >"$tmp/apt.log" 2>&1 || { cat "$tmp/apt.log"; die "apt-get install failed"; }
installed=yes
check "the launcher is on the PATH and the program under /opt" \
  '[ "$(command -v quorloffice)" = /usr/bin/quorloffice ] && [ -x /opt/quorloffice/QuorlOffice ]'

home=$tmp/home
useradd --home-dir "$home" --create-home --shell /bin/sh --user-group "$user"
folder=$home/.local/share/QuorlOffice
cp tests/package/launcher_test.sh tests/package/check.sh tests/package/session.sh tests/package/worker.sh \
  scripts/desktop-session.sh "$tmp/"
chmod 755 "$tmp"/*.sh

# Runs a command as the test user with a clean session's environment, in a session of
# its own, so that whatever it leaves running can be ended with it.
as_user() {
  setsid runuser -u "$user" -- env -i HOME="$home" USER="$user" LOGNAME="$user" SHELL=/bin/sh \
    PATH=/usr/local/bin:/usr/bin:/bin LANG=C.UTF-8 QTWEBENGINE_CHROMIUM_FLAGS="$QTWEBENGINE_CHROMIUM_FLAGS" \
    ${sandbox_off:+QTWEBENGINE_DISABLE_SANDBOX=1} "$@" &
  session=$!
  local status=0
  wait "$session" || status=$?
  kill -- -"$session" 2>/dev/null || true
  session=
  return $status
}

# The web engine's sandbox runs a normal user's pages in namespaces of their own; where
# the machine does not let a user make one (some containers), it cannot start at all.
sandbox_off=
if ! as_user unshare --user --pid --fork true 2>/dev/null; then
  sandbox_off=yes
  echo "# this machine lets no user make namespaces: the web engine's sandbox is off for the test user"
fi

launcher_status=0
as_user sh "$tmp/launcher_test.sh" /usr/bin/quorloffice >"$tmp/launcher.log" 2>&1 || launcher_status=$?
sed 's/^/  launcher: /' "$tmp/launcher.log"
check "the installed launcher passes its own checks as the test user" '[ $launcher_status -eq 0 ]'

start() { # name COMMAND...: one start on a virtual display with the window manager
  local name=$1
  shift
  mkdir "$tmp/$name"
  chown "$user:" "$tmp/$name"
  as_user xvfb-run -a -s "$XVFB_SCREEN" bash "$tmp/desktop-session.sh" sh "$tmp/session.sh" "$tmp/$name" "$@" \
    || true
  [ -f "$tmp/$name/result" ] || echo "status none" >"$tmp/$name/result"
}
shown() { # name: the session showed the start page in the program's window and ended well
  [ "$(result "$1" loaded)" = yes ] && [ "$(result "$1" window)" != none ] \
    && awk -v f="$(result "$1" startpage)" 'BEGIN { exit !(f > 0.25) }' \
    && [ "$(result "$1" status)" = 0 ] && [ -z "$(result "$1" closed)" ]
}

start first quorloffice
check "the first start shows the home page in the window and ends with Alt+F4" 'shown first'
check "the window carries the program's icon" '[ "$(result first icon)" = yes ]'
check "the web engine's pages run in its sandbox" '[ -n "$sandbox_off" ] || [ "$(result first sandboxed)" -gt 0 ]'
check "the user's folder is the user's, with the program in it" \
  '[ "$(stat -c %U "$folder")" = "$user" ] && cmp -s /opt/quorloffice/QuorlOffice "$folder/QuorlOffice" &&
   cmp -s /opt/quorloffice/quorl-office "$folder/quorl-office"'
check "the first start installed the data and removed the marker" \
  '[ -f "$folder/Languages/Lang_English.txt" ] && [ -f "$folder/Links/Links.Bok" ] && [ -f "$folder/Data/Template.doc" ] &&
   [ -d "$folder/Images" ] && [ ! -e "$folder/QuorlFirst.txt" ] && [ ! -e "$folder/Links.Bok" ]'
check "closing the window wrote the options into the user's folder" \
  '[ -s "$folder/Data/QuorlOffice.Opt" ] && [ "$(stat -c %Y "$folder/Data/QuorlOffice.Opt")" -ge "$(result first closing)" ]'
check "nothing was written into the installed folder" \
  '[ "$(cd /opt/quorloffice && ls -A)" = "$(cat "$tmp/deb.files")" ]'

mkdir "$tmp/worker"
chown "$user:" "$tmp/worker"
check "the office worker makes a PDF, a spreadsheet and a presentation with LibreOffice" \
  'as_user sh "$tmp/worker.sh" "$folder" "$tmp/worker" &&
   head -c 4 "$tmp/worker/template.pdf" | grep -q "%PDF" &&
   [ "$(head -c 4 "$tmp/worker/sheet.xls" | od -An -tx1 | tr -d " ")" = d0cf11e0 ] &&
   [ "$(head -c 4 "$tmp/worker/slides.ppt" | od -An -tx1 | tr -d " ")" = d0cf11e0 ]'

# Every file the program, its web engine and the office worker mapped must belong to a
# package that installing the .deb pulls in by its dependencies alone (no recommends):
# what a fresh machine gets from apt-get install.
# Essential packages are on every Debian system. Some are loaded when present and never
# needed: Qt reads every image format plugin installed (the program's pictures are PNG,
# BMP and SVG, which Qt and the SVG package read), and themed pointers when the desktop
# has libXcursor.
{
  apt-cache depends --recurse --installed --no-recommends --no-suggests --no-conflicts --no-breaks \
    --no-replaces --no-enhances quorloffice 2>/dev/null | grep -v '^ ' | sed 's/:.*//'
  dpkg-query -W -f '${Package} ${Essential}\n' | awk '$2 == "yes" { print $1 }'
  printf '%s\n' qt6-image-formats-plugins libmng1 libxcursor1
} | sort -u >"$tmp/closure"
{ cat "$tmp/first/maps" "$tmp/worker/maps" 2>/dev/null || true; } | awk '$6 ~ /^\/(usr|lib|etc|opt)\// { print $6 }' \
  | grep -v -e '^/usr/lib/locale/locale-archive$' -e '\.cache$' -e '\.cache-[0-9]*$' | sort -u >"$tmp/mapped"
: >"$tmp/owners"
xargs -r -a "$tmp/mapped" dpkg-query -S >>"$tmp/owners" 2>/dev/null || true
# dpkg knows the files of the packages that have not moved to /usr by their old paths.
sed 's|^/usr/|/|' "$tmp/mapped" | xargs -r dpkg-query -S >>"$tmp/owners" 2>/dev/null || true
awk -F': ' '{ print $NF }' "$tmp/owners" | sort -u >"$tmp/owned"
while read -r path; do
  grep -qxF -e "$path" -e "${path#/usr}" "$tmp/owned" || echo "no package: $path"
done <"$tmp/mapped" >"$tmp/outside"
awk -v closure="$tmp/closure" '
  BEGIN { while ((getline name < closure) > 0) wanted[name] = 1 }
  {
    n = split($0, part, ": "); path = part[n]
    count = split(part[1], packages, ", ")
    for (i = 1; i <= count; i++) {
      name = packages[i]; sub(/:.*/, "", name)
      if (!(name in wanted)) print name " (not a dependency): " path
    }
  }' "$tmp/owners" >>"$tmp/outside"
check "everything loaded at run time ($(wc -l <"$tmp/mapped") files) comes from the dependencies" \
  '[ "$(wc -l <"$tmp/mapped")" -gt 50 ] && ! [ -s "$tmp/outside" ]'
sed 's/^/  /' "$tmp/outside"

# A second start reuses the folder.
inode=$(stat -c %i "$folder/QuorlOffice")
stamp=$(stat -c %Y "$folder/.installed")
start second quorloffice
check "a second start shows the home page and ends with Alt+F4" 'shown second'
check "a second start reuses the folder as it is" \
  '[ "$(stat -c %i "$folder/QuorlOffice")" = "$inode" ] && [ "$(stat -c %Y "$folder/.installed")" = "$stamp" ] &&
   [ -s "$folder/Data/QuorlOffice.Opt" ] && [ ! -e "$folder/QuorlFirst.txt" ]'

# The user changes a link; the package is upgraded to a higher version (the same
# program repacked with the version raised); the next start refreshes the program and
# keeps the user's files.
runuser -u "$user" -- sed -i 's/^Qt;-;/Qt, the toolkit;-;/' "$folder/Links/Links.001"
cp "$folder/Links/Links.001" "$tmp/links.changed"
check "the link file was changed" '! cmp -s "$tmp/links.changed" "$tmp/deb/opt/quorloffice/Links.001"'
newer=$(awk -F. -v OFS=. '{ $NF = $NF + 1; print }' <<<"$version")
dpkg-deb -R "$deb" "$tmp/repack"
sed -i "s/^Version: .*/Version: $newer/" "$tmp/repack/DEBIAN/control"
sed -i "s/^version=.*/version=$newer/" "$tmp/repack/usr/bin/quorloffice"
(cd "$tmp/repack" && find opt usr -type f -exec md5sum {} + >DEBIAN/md5sums)
dpkg-deb --root-owner-group -Zxz -b "$tmp/repack" "$tmp/quorloffice_${newer}.deb" >/dev/null
apt-get install -y -q -o DPkg::Lock::Timeout=600 "$tmp/quorloffice_${newer}.deb" >"$tmp/apt.log" 2>&1 \
  || { cat "$tmp/apt.log"; die "the upgrade failed"; }
check "the upgrade is installed" '[ "$(dpkg-query -W -f "\${Version}" quorloffice)" = "$newer" ]'
start upgraded quorloffice
check "after the upgrade the program shows the home page and ends with Alt+F4" 'shown upgraded'
check "the upgrade refreshed the program in the user's folder" \
  '[ "$(stat -c %i "$folder/QuorlOffice")" != "$inode" ] && cmp -s /opt/quorloffice/QuorlOffice "$folder/QuorlOffice" &&
   [ "$(head -n 1 "$folder/.installed")" = "$newer" ]'
check "the upgrade kept the link file the user changed" 'cmp -s "$tmp/links.changed" "$folder/Links/Links.001"'
check "the upgrade kept the options and delivered nothing again" \
  '[ -s "$folder/Data/QuorlOffice.Opt" ] && [ ! -e "$folder/QuorlFirst.txt" ] && [ ! -e "$folder/Links.001" ]'

# The archive's program folder runs where it was unpacked and keeps its data there.
chown -R "$user:" "$tmp/portable"
start unpacked "$tmp/portable/QuorlOffice/QuorlOffice"
check "the unpacked archive runs, shows the home page and ends with Alt+F4" 'shown unpacked'
check "the unpacked program keeps its data beside it" \
  '[ -s "$tmp/portable/QuorlOffice/Data/QuorlOffice.Opt" ] && [ -f "$tmp/portable/QuorlOffice/Languages/Lang_English.txt" ]'

apt-get purge -y -q quorloffice >/dev/null
installed=no
check "removing the package removes the program and the launcher" \
  '[ ! -e /opt/quorloffice ] && [ ! -e /usr/bin/quorloffice ]'

if [ $failures -ne 0 ]; then
  for s in first second upgraded unpacked; do
    [ -f "$tmp/$s/stderr" ] && { echo "--- $s: program output"; tail -n 20 "$tmp/$s/stderr"; }
  done
  die "$failures package checks failed"
fi
echo "package test passed"
