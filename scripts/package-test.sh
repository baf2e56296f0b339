#!/usr/bin/env bash
# The packages as a user meets them. From the built tree (build/) it makes the .deb and
# the .tar.gz, checks the .deb with lintian, its desktop entry and AppStream metadata,
# and installs it with apt-get, as an upgrade of an earlier package that lay under
# /opt. Then, as a new user made for the run (whose home is mounted noexec when the
# machine allows it, and open to others as useradd makes it), it starts the program
# through the launcher on a virtual display with the window manager: the user's program
# folder is set up, the window shows the home page, closing it writes the options
# there, a second start reuses the folder, the office worker makes documents with
# LibreOffice, and an upgrade to a higher version keeps a link file the user changed.
# The user's folder and everything in it is the user's alone, and nothing else is
# written below the home. A user of the earlier package keeps their data, which ends
# the user's alone, and loses the copy of the program it ran. Everything the program and
# its web engine load at run time must come from the packages the .deb depends on.
# Removing and purging the package leaves no folder of its own and every shared one.
# The package, the users and every file are removed at the end, also when a check fails.
#
# It installs a package and adds users, so it runs as root (CI does); the test command
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
earlier_user=quorlold$$
session=
installed=no
homefs=
cleanup() {
  local status=$?
  set +e
  if [ -n "$session" ]; then kill -- -"$session" 2>/dev/null; fi
  for u in "$user" "$earlier_user"; do
    if id "$u" >/dev/null 2>&1; then userdel --force --remove "$u" 2>/dev/null; fi
  done
  if [ -n "$homefs" ]; then umount -l "$homefs"; fi
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
desktop=$tmp/deb/usr/share/applications/org.quorloffice.QuorlOffice.desktop
check "the desktop entry passes desktop-file-validate" 'desktop-file-validate "$desktop"'
# Menus list an entry under each main category it names.
check "the desktop entry names one main category" \
  '[ "$(sed -n "s/^Categories=//p" "$desktop" | tr ";" "\n" |
       grep -cxE "AudioVideo|Audio|Video|Development|Education|Game|Graphics|Network|Office|Science|Settings|System|Utility")" -eq 1 ]'
check "the AppStream metadata passes appstreamcli validate" \
  'appstreamcli validate --no-net "$tmp/deb/usr/share/metainfo/org.quorloffice.QuorlOffice.metainfo.xml" >/dev/null'
check "the metadata's release is the project's version" \
  'grep -q "<release version=\"$version\"" "$tmp/deb/usr/share/metainfo/org.quorloffice.QuorlOffice.metainfo.xml"'
check "the icon is there at every size, each drawn at its size, and scalable" \
  '(for s in 16 22 24 32 48 64 128 256; do
     file "$tmp/deb/usr/share/icons/hicolor/${s}x$s/apps/quorloffice.png" | grep -q "PNG image data, $s x $s," || exit 1
   done) && [ -f "$tmp/deb/usr/share/icons/hicolor/scalable/apps/quorloffice.svg" ]'
check "the manual page is there" '[ -f "$tmp/deb/usr/share/man/man1/quorloffice.1.gz" ]'

# The .deb puts the executables where Debian puts a program's own (/usr/lib/quorloffice)
# and the delivered files with the first-run marker in /usr/share/quorloffice; the
# archive holds both together, as the build lays out the program folder.
mkdir "$tmp/portable"
tar -xzf "$tgz" -C "$tmp/portable"
check "the archive unpacks to the program folder alone" '[ "$(ls -A "$tmp/portable")" = QuorlOffice ]'
(cd "$tmp/deb/usr/lib/quorloffice" && ls -A) >"$tmp/deb.programs"
(cd "$tmp/deb/usr/share/quorloffice" && ls -A) >"$tmp/deb.data"
sort "$tmp/deb.programs" "$tmp/deb.data" >"$tmp/deb.files"
(cd "$tmp/portable/QuorlOffice" && ls -A | sort) >"$tmp/tgz.files"
check "the .deb and the archive hold the same program folder" 'cmp -s "$tmp/deb.files" "$tmp/tgz.files"'
check "the executables are in /usr/lib/quorloffice, the delivered files with the marker in /usr/share/quorloffice" \
  '[ "$(cat "$tmp/deb.programs")" = "$(printf "QuorlOffice\nquorl-office")" ] && grep -qx QuorlFirst.txt "$tmp/deb.data" &&
   grep -qx Lang_English.txt "$tmp/deb.data"'
check "every installed file is the one the build lays out" \
  '(while read -r f; do
     case $f in QuorlOffice | quorl-office) [ -x "build/QuorlOffice/$f" ] || exit 1 ;;
       *) cmp -s "$tmp/deb/usr/share/quorloffice/$f" "build/QuorlOffice/$f" || exit 1 ;; esac
   done <"$tmp/deb.files")'
check "nothing is installed under /opt" '[ ! -e "$tmp/deb/opt" ]'

# The folders the package shares with the system: every one but its own. They must
# be the same before it and after it.
(cd "$tmp/deb" && find . -mindepth 1 -type d | sed 's|^\.||') \
  | grep -vxE '/usr/lib/quorloffice|/usr/share/quorloffice|/usr/share/doc/quorloffice' >"$tmp/shared.dirs"
while read -r d; do [ -d "$d" ] && echo "$d"; done <"$tmp/shared.dirs" >"$tmp/shared.before"
opt_before=$(ls -A /opt 2>/dev/null; [ -d /opt ] && echo "(there)")

# --- The earlier package, and its user ---------------------------------------------
# The earlier package (version 1.0.1) lay under /opt/quorloffice, executables and
# delivered files together, and its launcher gave every user a copy of that folder to
# run, left open to others as the umask made it. Made again from this package: the
# same folder, under /opt.
dpkg-deb -R "$deb" "$tmp/earlier-deb"
mkdir -p "$tmp/earlier-deb/opt/quorloffice"
mv "$tmp/earlier-deb/usr/lib/quorloffice"/* "$tmp/earlier-deb/usr/share/quorloffice"/* "$tmp/earlier-deb/opt/quorloffice/"
rmdir "$tmp/earlier-deb/usr/lib/quorloffice" "$tmp/earlier-deb/usr/lib" "$tmp/earlier-deb/usr/share/quorloffice"
sed -i "s/^Version: .*/Version: $version~earlier/" "$tmp/earlier-deb/DEBIAN/control"
(cd "$tmp/earlier-deb" && find opt usr -type f -exec md5sum {} + >DEBIAN/md5sums)
dpkg-deb --root-owner-group -Zxz -b "$tmp/earlier-deb" "$tmp/quorloffice_earlier.deb" >/dev/null
apt-get install -y -q -o DPkg::Lock::Timeout=600 "$tmp/quorloffice_earlier.deb" >"$tmp/apt.log" 2>&1 \
  || { cat "$tmp/apt.log"; die "apt-get install of the earlier package failed"; }
installed=yes

cp tests/package/launcher_test.sh tests/package/check.sh tests/package/session.sh tests/package/worker.sh \
  scripts/desktop-session.sh "$tmp/"
chmod 755 "$tmp"/*.sh

# Runs a command as a test user (USER HOME COMMAND...) with a clean session's
# environment and the umask a session has, in a session of its own, so that whatever it
# leaves running can be ended with it.
as_user() {
  local name=$1 home=$2
  shift 2
  setsid runuser -u "$name" -- env -i HOME="$home" USER="$name" LOGNAME="$name" SHELL=/bin/sh \
    PATH=/usr/local/bin:/usr/bin:/bin LANG=C.UTF-8 QTWEBENGINE_CHROMIUM_FLAGS="$QTWEBENGINE_CHROMIUM_FLAGS" \
    ${sandbox_off:+QTWEBENGINE_DISABLE_SANDBOX=1} sh -c 'umask 022 && exec "$@"' sh "$@" &
  session=$!
  local status=0
  wait "$session" || status=$?
  kill -- -"$session" 2>/dev/null || true
  session=
  return $status
}

start() { # name USER HOME COMMAND...: one start on a virtual display with the window manager
  local name=$1
  shift
  mkdir "$tmp/$name"
  chown "$1:" "$tmp/$name"
  local who=$1 where=$2
  shift 2
  as_user "$who" "$where" xvfb-run -a -s "$XVFB_SCREEN" bash "$tmp/desktop-session.sh" sh "$tmp/session.sh" \
    "$tmp/$name" "$@" || true
  [ -f "$tmp/$name/result" ] || echo "status none" >"$tmp/$name/result"
}
shown() { # name: the session showed the start page in the program's window and ended well
  [ "$(result "$1" loaded)" = yes ] && [ "$(result "$1" window)" != none ] \
    && awk -v f="$(result "$1" startpage)" 'BEGIN { exit !(f > 0.25) }' \
    && [ "$(result "$1" status)" = 0 ] && [ -z "$(result "$1" closed)" ]
}
# What in a folder others could read or enter (links aside).
open_to_others() {
  find "$1" -perm /077 ! -type l -printf '%m %p\n'
}

earlier_home=$tmp/earlier-home
useradd --home-dir "$earlier_home" --create-home --shell /bin/sh --user-group "$earlier_user"
chmod 755 "$earlier_home"
earlier_folder=$earlier_home/.local/share/QuorlOffice

# The web engine's sandbox runs a normal user's pages in namespaces of their own; where
# the machine does not let a user make one (some containers), it cannot start at all.
sandbox_off=
if ! as_user "$earlier_user" "$earlier_home" unshare --user --pid --fork true 2>/dev/null; then
  sandbox_off=yes
  echo "# this machine lets no user make namespaces: the web engine's sandbox is off for the test users"
fi

# As the earlier launcher did: the installed folder copied, with a stamp, and the copy
# run, whose first start installs the data; then as that version left everything: open.
as_user "$earlier_user" "$earlier_home" sh -c 'mkdir -p "$1" && cp /opt/quorloffice/* "$1/" && echo 1.0.1 >"$1/.installed"' \
  sh "$earlier_folder"
start earlier "$earlier_user" "$earlier_home" "$earlier_folder/QuorlOffice"
check "the earlier package's program ran from the user's copy" 'shown earlier'
runuser -u "$earlier_user" -- sed -i 's/^Qt;-;/Qt, the toolkit;-;/' "$earlier_folder/Links/Links.001"
cp "$earlier_folder/Links/Links.001" "$tmp/earlier.links"
chmod -R go+rX,go-w "$earlier_folder"
check "the earlier package's user has a folder open to others" \
  '[ "$(stat -c %a "$earlier_folder")" = 755 ] && [ "$(stat -c %a "$earlier_folder/Data/QuorlOffice.Opt")" = 644 ] &&
   [ -x "$earlier_folder/quorl-office" ]'

# --- This package, over the earlier one ----------------------------------------------
apt-get install -y -q -o DPkg::Lock::Timeout=600 "$deb" >"$tmp/apt.log" 2>&1 || { cat "$tmp/apt.log"; die "apt-get install failed"; }
check "the upgrade installs this version" '[ "$(dpkg-query -W -f "\${Version}" quorloffice)" = "$version" ]'
check "the launcher is on the PATH and the program in /usr/lib/quorloffice" \
  '[ "$(command -v quorloffice)" = /usr/bin/quorloffice ] && [ -x /usr/lib/quorloffice/QuorlOffice ]'
check "the upgrade left nothing under /opt, and /opt as it was" \
  '[ ! -e /opt/quorloffice ] && [ "$(ls -A /opt 2>/dev/null; [ -d /opt ] && echo "(there)")" = "$opt_before" ]'

# --- A new user ----------------------------------------------------------------------
home=$tmp/home
mkdir "$home"
# A home that runs nothing (noexec), as managed desktops mount them, when this machine
# lets us mount one.
if mount -t tmpfs -o noexec,nosuid,nodev,size=1g,mode=0755 tmpfs "$home" 2>/dev/null; then
  homefs=$home
  check "the new user's home runs nothing" 'findmnt -no OPTIONS "$home" | grep -qw noexec'
else
  echo "# this machine lets no tmpfs be mounted: the new user's home is a plain folder"
fi
useradd --home-dir "$home" --create-home --shell /bin/sh --user-group "$user" 2>/dev/null || true
id "$user" >/dev/null || die "the test user could not be made"
cp -rT /etc/skel "$home"
chown -R "$user:" "$home"
chmod 755 "$home"
(cd "$home" && find . -type f | sort) >"$tmp/home.before"
folder=$home/.local/share/QuorlOffice

launcher_status=0
as_user "$user" "$home" sh "$tmp/launcher_test.sh" /usr/bin/quorloffice >"$tmp/launcher.log" 2>&1 || launcher_status=$?
sed 's/^/  launcher: /' "$tmp/launcher.log"
check "the installed launcher passes its own checks as the test user" '[ $launcher_status -eq 0 ]'

start first "$user" "$home" quorloffice
check "the first start shows the home page in the window and ends with Alt+F4" 'shown first'
check "the window carries the program's icon" '[ "$(result first icon)" = yes ]'
check "the web engine's pages run in its sandbox" '[ -n "$sandbox_off" ] || [ "$(result first sandboxed)" -gt 0 ]'
check "the user's folder is the user's, with no program in it" \
  '[ "$(stat -c %U "$folder")" = "$user" ] && [ ! -e "$folder/QuorlOffice" ] && [ ! -e "$folder/quorl-office" ]'
check "the program ran from /usr/lib/quorloffice" 'grep -q " /usr/lib/quorloffice/QuorlOffice$" "$tmp/first/maps"'
check "the first start installed the data and removed the marker" \
  '[ -f "$folder/Languages/Lang_English.txt" ] && [ -f "$folder/Links/Links.Bok" ] && [ -f "$folder/Data/Template.doc" ] &&
   [ -d "$folder/Images" ] && [ ! -e "$folder/QuorlFirst.txt" ] && [ ! -e "$folder/Links.Bok" ]'
check "closing the window wrote the options into the user's folder" \
  '[ -s "$folder/Data/QuorlOffice.Opt" ] && [ "$(stat -c %Y "$folder/Data/QuorlOffice.Opt")" -ge "$(result first closing)" ]'
check "nothing was written into the installed folders" \
  '[ "$(cd /usr/lib/quorloffice && ls -A)" = "$(cat "$tmp/deb.programs")" ] &&
   [ "$(cd /usr/share/quorloffice && ls -A)" = "$(cat "$tmp/deb.data")" ]'

mkdir "$tmp/worker"
chown "$user:" "$tmp/worker"
check "the office worker makes a PDF, a spreadsheet and a presentation with LibreOffice" \
  'as_user "$user" "$home" sh "$tmp/worker.sh" "$folder" "$tmp/worker" &&
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
start second "$user" "$home" quorloffice
check "a second start shows the home page and ends with Alt+F4" 'shown second'
check "a second start reuses the folder as it is" \
  '[ -s "$folder/Data/QuorlOffice.Opt" ] && [ ! -e "$folder/QuorlFirst.txt" ] && [ ! -e "$folder/Links.Bok" ]'

# The user changes a link; the package is upgraded to a higher version (the same
# program repacked with the version raised); the next start keeps the user's files.
runuser -u "$user" -- sed -i 's/^Qt;-;/Qt, the toolkit;-;/' "$folder/Links/Links.001"
cp "$folder/Links/Links.001" "$tmp/links.changed"
check "the link file was changed" '! cmp -s "$tmp/links.changed" "$tmp/deb/usr/share/quorloffice/Links.001"'
newer=$(awk -F. -v OFS=. '{ $NF = $NF + 1; print }' <<<"$version")
dpkg-deb -R "$deb" "$tmp/repack"
sed -i "s/^Version: .*/Version: $newer/" "$tmp/repack/DEBIAN/control"
sed -i "s/^version=.*/version=$newer/" "$tmp/repack/usr/bin/quorloffice"
(cd "$tmp/repack" && find usr -type f -exec md5sum {} + >DEBIAN/md5sums)
dpkg-deb --root-owner-group -Zxz -b "$tmp/repack" "$tmp/quorloffice_${newer}.deb" >/dev/null
apt-get install -y -q -o DPkg::Lock::Timeout=600 "$tmp/quorloffice_${newer}.deb" >"$tmp/apt.log" 2>&1 \
  || { cat "$tmp/apt.log"; die "the upgrade failed"; }
check "the upgrade is installed" '[ "$(dpkg-query -W -f "\${Version}" quorloffice)" = "$newer" ]'
start upgraded "$user" "$home" quorloffice
check "after the upgrade the program shows the home page and ends with Alt+F4" 'shown upgraded'
check "the upgrade kept the link file the user changed" 'cmp -s "$tmp/links.changed" "$folder/Links/Links.001"'
check "the upgrade kept the options and delivered nothing again" \
  '[ -s "$folder/Data/QuorlOffice.Opt" ] && [ ! -e "$folder/QuorlFirst.txt" ] && [ ! -e "$folder/Links.001" ]'

check "the user's folder and everything in it is the user's alone, though the home is open" \
  '[ "$(stat -c %a "$home")" = 755 ] && [ "$(stat -c %a "$folder")" = 700 ] && [ -z "$(open_to_others "$folder")" ]'
open_to_others "$folder" | sed 's/^/  open: /'
# Mesa, the OpenGL library, keeps a cache of its own there for every program that draws
# with it (the README says so); the test's window manager writes its log there.
(cd "$home" && find . -type f ! -path './.local/share/QuorlOffice/*' ! -path './.cache/mesa_shader_cache/*' \
  ! -path './.cache/openbox/*' | sort) >"$tmp/home.after"
check "nothing else was written below the home" 'cmp -s "$tmp/home.before" "$tmp/home.after"'
comm -13 "$tmp/home.before" "$tmp/home.after" | sed 's/^/  written: /'

# --- The earlier package's user, with this package ----------------------------------
start moved "$earlier_user" "$earlier_home" quorloffice
check "the earlier package's user starts the installed program" \
  'shown moved && grep -q " /usr/lib/quorloffice/QuorlOffice$" "$tmp/moved/maps"'
check "the copy of the program the earlier package made is gone" \
  '[ ! -e "$earlier_folder/QuorlOffice" ] && [ ! -e "$earlier_folder/quorl-office" ] && [ ! -e "$earlier_folder/.installed" ]'
check "the earlier package's user keeps the link file they changed and the options" \
  'cmp -s "$tmp/earlier.links" "$earlier_folder/Links/Links.001" && [ -s "$earlier_folder/Data/QuorlOffice.Opt" ] &&
   [ ! -e "$earlier_folder/QuorlFirst.txt" ]'
check "the earlier package's open folder is now the user's alone" \
  '[ "$(stat -c %a "$earlier_folder")" = 700 ] && [ -z "$(open_to_others "$earlier_folder")" ]'
open_to_others "$earlier_folder" | sed 's/^/  open: /'

# The archive's program folder runs where it was unpacked and keeps its data there, the
# user's alone beside the executables as unpacked.
chown -R "$user:" "$tmp/portable"
start unpacked "$user" "$home" "$tmp/portable/QuorlOffice/QuorlOffice"
check "the unpacked archive runs, shows the home page and ends with Alt+F4" 'shown unpacked'
check "the unpacked program keeps its data beside it, the user's alone" \
  '[ -s "$tmp/portable/QuorlOffice/Data/QuorlOffice.Opt" ] && [ -f "$tmp/portable/QuorlOffice/Languages/Lang_English.txt" ] &&
   (for d in Data Languages Links Images; do [ -z "$(open_to_others "$tmp/portable/QuorlOffice/$d")" ] || exit 1; done)'

# Removed, the program goes and the users' folders stay; purged, nothing of the package
# is left, and every folder it shares is still there.
apt-get remove -y -q quorloffice >/dev/null
check "removing the package removes the program, its files and the launcher, and keeps the users' folders" \
  '[ ! -e /usr/lib/quorloffice ] && [ ! -e /usr/share/quorloffice ] && [ ! -e /usr/bin/quorloffice ] &&
   [ -s "$folder/Data/QuorlOffice.Opt" ] && [ -s "$earlier_folder/Data/QuorlOffice.Opt" ]'
# The package has no configuration files, so apt knows it no more once it is removed.
dpkg --purge quorloffice >/dev/null 2>&1
installed=no
check "purging leaves nothing of the package" \
  '! dpkg-query -W -f "\${Status}" quorloffice 2>/dev/null | grep -q installed && [ ! -e /usr/share/doc/quorloffice ] &&
   [ ! -e /opt/quorloffice ]'
check "every folder the package shares is still there, /opt as it was" \
  '(while read -r d; do [ -d "$d" ] || exit 1; done <"$tmp/shared.before") &&
   [ "$(ls -A /opt 2>/dev/null; [ -d /opt ] && echo "(there)")" = "$opt_before" ]'

if [ $failures -ne 0 ]; then
  for s in earlier first second upgraded moved unpacked; do
    [ -f "$tmp/$s/stderr" ] && { echo "--- $s: program output"; tail -n 20 "$tmp/$s/stderr"; }
  done
  die "$failures package checks failed"
fi
echo "package test passed"
