#!/usr/bin/env bash
# Checks a Debian package of Lumio the way a user meets it: unpacks it into a throw-away
# root, checks its control fields, validates its menu entry, AppStream metadata and
# manual page, runs the unpacked program's --help and --version without a display,
# starts it on a private X display and opens its help text from the Help menu, and runs
# lintian on the package (no errors allowed; warnings are printed).
# Usage: package_test.sh PACKAGE.deb ARTIFACT_FOLDER
#        package_test.sh --build BUILD_FOLDER ARTIFACT_FOLDER   (packages that build first)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
test_name="package test"
source "$here/../support/private_display.sh"

if [ "$1" = "--build" ]; then
  artifacts=$3
  mkdir -p "$artifacts"
  rm -f "$artifacts"/lumio_*.deb
  cpack -G DEB --config "$2/CPackConfig.cmake" -B "$work/cpack" >"$artifacts/cpack.log" 2>&1 ||
    { cat "$artifacts/cpack.log" >&2; fail "cpack"; }
  cp "$work/cpack"/lumio_*.deb "$artifacts/"
  package=$(ls "$artifacts"/lumio_*.deb)
else
  package=$(readlink -f "$1")
  artifacts=$2
  mkdir -p "$artifacts"
fi

# Control fields.
version=$(dpkg-deb -f "$package" Version)
arch=$(dpkg-deb -f "$package" Architecture)
[ "$(basename "$package")" = "lumio_${version}_${arch}.deb" ] || fail "package named $(basename "$package")"
[ "$(dpkg-deb -f "$package" Section)" = sound ] || fail "section is not sound"
depends=$(dpkg-deb -f "$package" Depends)
for needed in vorbis-tools fonts-ipafont-gothic qt6-translations-l10n libqt6widgets6 libc6; do
  [[ ", $depends," == *", $needed"[\ ,]* ]] || fail "Depends lacks $needed: $depends"
done

# Files, and their own checks.
root="$work/root"
dpkg-deb -x "$package" "$root"
id=org.example.lumio.Lumio
for file in usr/bin/lumio usr/share/applications/$id.desktop usr/share/metainfo/$id.metainfo.xml \
  usr/share/icons/hicolor/scalable/apps/lumio.svg usr/share/lumio/lumio.txt \
  usr/share/man/man1/lumio.1.gz usr/share/doc/lumio/copyright usr/share/doc/lumio/changelog.gz \
  usr/share/systemd/user/lumio-mirror.service usr/share/systemd/user/lumio-mirror.timer; do
  [ -f "$root/$file" ] || fail "the package lacks /$file"
done
desktop-file-validate "$root/usr/share/applications/$id.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$root/usr/share/metainfo/$id.metainfo.xml" >"$work/appstream.log" ||
  { cat "$work/appstream.log" >&2; fail "appstreamcli validate"; }
man_warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$root/usr/share/man/man1/lumio.1.gz" 2>&1 >/dev/null)
[ -z "$man_warnings" ] || fail "the manual page has warnings: $man_warnings"
zcat "$root/usr/share/doc/lumio/changelog.gz" | head -n1 | grep -q "^lumio ($version) " ||
  fail "the change log's first entry is not version $version"

# The command line, with no display at all.
program="$root/usr/bin/lumio"
no_display=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u LANGUAGE -u LC_MESSAGES)
[ "$("${no_display[@]}" LC_ALL=C.UTF-8 "$program" --version)" = "Lumio $version" ] || fail "--version"
"${no_display[@]}" LC_ALL=C.UTF-8 "$program" --help | grep -q '^Usage: lumio ' || fail "--help"
"${no_display[@]}" LC_ALL= LANG=ja_JP.UTF-8 "$program" -h | grep -q '^使い方: lumio ' ||
  fail "--help in a Japanese locale"
status=0
"${no_display[@]}" LC_ALL=C.UTF-8 "$program" --no-such-option 2>"$work/refused" || status=$?
[ "$status" -eq 2 ] || fail "an unknown option ended with status $status, not 2"
grep -q '^Usage: lumio ' "$work/refused" || fail "an unknown option did not print the usage"

# The program on a private X display; the desktop's opener is a stand-in that notes
# what it was asked to open.
start_private_display
mkdir -p "$work/bin" "$work/home" "$work/config"
printf '#!/bin/sh\nprintf "%%s\\n" "$@" >"%s/opened"\n' "$work" >"$work/bin/xdg-open"
chmod +x "$work/bin/xdg-open"
unset QT_QPA_PLATFORM XDG_CURRENT_DESKTOP DESKTOP_SESSION
HOME="$work/home" XDG_CONFIG_HOME="$work/config" PATH="$work/bin:$PATH" LC_ALL=C.UTF-8 \
  "$program" >"$artifacts/lumio_package.log" 2>&1 &
app_pid=$!
wait_for_main_window
sleep 1
xdotool windowfocus --sync "$main_window"
xdotool key alt+h
sleep 0.5
xdotool key h
for _ in $(seq 1 100); do
  [ -s "$work/opened" ] && break
  sleep 0.1
done
[ -s "$work/opened" ] || fail "the Help menu opened nothing"
opened=$(cat "$work/opened")
[[ "$opened" == file://* ]] &&
  [ "$(readlink -f "${opened#file://}")" = "$root/usr/share/lumio/lumio.txt" ] ||
  fail "the Help menu opened $opened instead of the package's own help text"
close_main_window

# lintian: errors fail the test, everything else is shown.
lintian_status=0
lintian --fail-on error --tag-display-limit 0 "$package" >"$artifacts/lintian.txt" 2>&1 ||
  lintian_status=$?
cat "$artifacts/lintian.txt"
[ "$lintian_status" -eq 0 ] || fail "lintian found errors"
echo "package test passed: $package"
