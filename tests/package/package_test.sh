#!/usr/bin/env bash
# Checks a Debian package of Lumio the way a user meets it: builds it a second time and
# compares the bytes, unpacks it into a throw-away root, checks its control fields,
# licence and copyright file, validates its menu entry, AppStream metadata and manual
# page, runs the unpacked program's --help and --version and the program itself without
# a display, starts it on a private X display (window class and icon for the dock) and
# opens its help text from the Help menu, through the desktop and, when the desktop
# cannot, in Lumio's own window, and runs lintian on the package (no errors allowed;
# warnings are printed).
# Usage: package_test.sh PACKAGE.deb ARTIFACT_FOLDER
#          (PACKAGE.deb made by scripts/package.sh; builds a second one the same way)
#        package_test.sh --build BUILD_FOLDER ARTIFACT_FOLDER
#          (packages that build twice, for the test suite)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
test_name="package test"
source "$here/../support/private_display.sh"

# Both packages take their time stamps from the last commit.
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git -C "$repo" log -1 --format=%ct 2>/dev/null ||
    dpkg-parsechangelog -l "$repo/dist/changelog" -S Timestamp)
fi
export SOURCE_DATE_EPOCH

# cpack_into FOLDER: packs the build folder named by --build into FOLDER.
cpack_into() {
  cpack -G DEB --config "$build_folder/CPackConfig.cmake" -B "$1" >"$artifacts/cpack.log" 2>&1 ||
    { cat "$artifacts/cpack.log" >&2; fail "cpack"; }
}

if [ "$1" = "--build" ]; then
  build_folder=$2
  artifacts=$3
  mkdir -p "$artifacts"
  rm -f "$artifacts"/lumio_*.deb
  cpack_into "$work/cpack"
  cp "$work/cpack"/lumio_*.deb "$artifacts/"
  package=$(ls "$artifacts"/lumio_*.deb)
  # A second packing a little later: no time stamp of the moment may reach the package.
  sleep 1.1
  cpack_into "$work/cpack-again"
  again=$(ls "$work/cpack-again"/lumio_*.deb)
else
  package=$(readlink -f "$1")
  artifacts=$2
  mkdir -p "$artifacts"
  # The same commit built again from scratch, in a build folder elsewhere.
  again=$(bash "$repo/scripts/package.sh" "$work/rebuild" 2>"$artifacts/rebuild.log" | tail -n1) ||
    { tail -n 40 "$artifacts/rebuild.log" >&2; fail "the second package build"; }
fi
if ! cmp -s "$package" "$again"; then
  cp "$again" "$artifacts/second-build.deb"
  fail "two builds of one commit differ: $package and $artifacts/second-build.deb"
fi

# Control fields.
version=$(dpkg-deb -f "$package" Version)
arch=$(dpkg-deb -f "$package" Architecture)
[ "$(basename "$package")" = "lumio_${version}_${arch}.deb" ] || fail "package named $(basename "$package")"
[ "$(dpkg-deb -f "$package" Section)" = sound ] || fail "section is not sound"
depends=$(dpkg-deb -f "$package" Depends)
for needed in vorbis-tools opus-tools fonts-ipafont-gothic qt6-translations-l10n libqt6widgets6 libc6; do
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
# Licence: GPL-3.0-or-later, in a machine-readable copyright file and in the metadata.
copyright="$root/usr/share/doc/lumio/copyright"
head -n1 "$copyright" | grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
  fail "the copyright file is not in the machine-readable format"
grep -qx 'License: GPL-3.0+' "$copyright" || fail "the copyright file names no GPL-3.0+ licence"
metainfo="$root/usr/share/metainfo/$id.metainfo.xml"
grep -q '<project_license>GPL-3.0-or-later</project_license>' "$metainfo" ||
  fail "the AppStream metadata lacks project_license GPL-3.0-or-later"
grep -Eq '<metadata_license>(FSFAP|CC0-1.0)</metadata_license>' "$metainfo" ||
  fail "the AppStream metadata lacks a free metadata_license"
grep -qx 'StartupWMClass=lumio' "$root/usr/share/applications/$id.desktop" ||
  fail "the menu entry lacks StartupWMClass=lumio"
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
"${no_display[@]}" LC_ALL=C.UTF-8 "$program" -hv 2>"$work/refused" && fail "-hv was taken"
grep -q '^lumio: unknown option -hv$' "$work/refused" || fail "-hv was named otherwise: $(head -n1 "$work/refused")"

# No display: one line in the locale's language and status 1, not Qt's abort; the same
# for a display that nobody answers on.
no_display_line='^lumio: no display to show the windows on '
for display_case in "unset" ":" "ja"; do
  status=0
  case $display_case in
    unset) "${no_display[@]}" LC_ALL=C.UTF-8 "$program" 2>"$work/no-display" || status=$? ;;
    :) "${no_display[@]}" DISPLAY=:4095 LC_ALL=C.UTF-8 "$program" 2>"$work/no-display" || status=$? ;;
    ja) "${no_display[@]}" LC_ALL= LANG=ja_JP.UTF-8 "$program" 2>"$work/no-display" || status=$? ;;
  esac
  [ "$status" -eq 1 ] || fail "without a display ($display_case) the program ended with status $status"
  line=$(tail -n1 "$work/no-display")
  if [ "$display_case" = ja ]; then
    [[ "$line" == "lumio: ウィンドウを表示できるディスプレイがありません"* ]] ||
      fail "without a display, a Japanese locale got: $line"
  else
    [[ "$line" =~ $no_display_line ]] || fail "without a display ($display_case) the program said: $line"
  fi
done
[ "$(wc -l <"$work/no-display")" -eq 1 ] || fail "without a display the program said more than one line"

# The program on a private X display; the desktop's opener is a stand-in that notes
# what it was asked to open.
start_private_display
mkdir -p "$work/bin" "$work/home" "$work/config"
printf '#!/bin/sh\nprintf "%%s\\n" "$@" >"%s/opened"\n' "$work" >"$work/bin/xdg-open"
chmod +x "$work/bin/xdg-open"
unset QT_QPA_PLATFORM XDG_CURRENT_DESKTOP DESKTOP_SESSION
app_log="$artifacts/lumio_package.log"
HOME="$work/home" XDG_CONFIG_HOME="$work/config" PATH="$work/bin:$PATH" LC_ALL=C.UTF-8 \
  "$program" >"$app_log" 2>&1 &
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
# The window tells the dock which menu entry it belongs to, and carries the icon.
xprop -id "$main_window" WM_CLASS | grep -q '"lumio", "lumio"' ||
  fail "the main window's class is $(xprop -id "$main_window" WM_CLASS)"
xprop -id "$main_window" _NET_WM_ICON >"$work/icon"
grep -q "^_NET_WM_ICON(CARDINAL) = " "$work/icon" || fail "the main window has no icon"

# A desktop that cannot open text files (xdg-open ends with 3): the help text comes up
# in Lumio's own window.
printf '#!/bin/sh\nexit 3\n' >"$work/bin/xdg-open"
xdotool windowfocus --sync "$main_window"
xdotool key alt+h
sleep 0.5
xdotool key h
help_window=""
for _ in $(seq 1 100); do
  help_window=$(xdotool search --onlyvisible --name '^Lumio ヘルプ$' 2>/dev/null | head -n1 || true)
  [ -n "$help_window" ] && break
  sleep 0.1
done
[ -n "$help_window" ] || fail "with no program for text files, the Help menu showed nothing"
close_main_window

# lintian: errors fail the test, everything else is shown.
lintian_status=0
lintian --fail-on error --tag-display-limit 0 "$package" >"$artifacts/lintian.txt" 2>&1 ||
  lintian_status=$?
cat "$artifacts/lintian.txt"
[ "$lintian_status" -eq 0 ] || fail "lintian found errors"
echo "package test passed: $package"
