#!/usr/bin/env bash
# Starts the built Lumio under a virtual X display, drives it with xdotool, and saves a
# screenshot of each window into docs/: the add-files dialog, the main window with files
# listed and one selected, a text field's context menu, its 編集 menu and the pattern
# window of タグからファイル名, the pages of the setup window (出力形式 with Ogg Opus chosen), the
# progress window during a
# run, the result window after it, the about window, Lumio's own help window (the desktop
# here has no program for text files), the main window with a folder of tagged FLAC
# files handed over by a second start, the same with an output folder chosen for all of
# them in the 出力先 tree, and the report of a second run that skips the files already
# encoded (a library mirror), and a disc image's tracks added from its Shift-JIS CUE sheet.
#
# Usage: scripts/screenshots.sh [build-folder]   (default: build; built when missing)
# Needs: Xvfb, xdotool, imagemagick (import), vorbis-tools, flac; openbox, when installed,
# draws the title bars.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)

build_dir=${1:-build}
binary="$build_dir/app/lumio"
if [ ! -x "$binary" ]; then
  cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
  cmake --build "$build_dir" --target lumio
fi
binary=$(realpath "$binary")

# A fixed folder, so that the paths the windows show, and with them the pictures, are
# the same from run to run.
work=/tmp/lumio-screenshots
if ! mkdir "$work" 2>/dev/null; then
  echo "$work exists: another run is going on, or remove it" >&2
  exit 1
fi
pids=()
cleanup() {
  for pid in "${pids[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  rm -rf "$work"
}
trap cleanup EXIT

# A display number nobody uses.
display=99
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
  display=$((display + 1))
done
# -noreset: the check below is the first client, and a server that resets when its last
# client leaves can turn away the next one meanwhile.
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
pids+=($!)
export DISPLAY=":$display"
for _ in $(seq 50); do
  xdotool getmouselocation >/dev/null 2>&1 && break
  sleep 0.1
done
if command -v openbox >/dev/null 2>&1; then
  openbox >/dev/null 2>&1 &
  pids+=($!)
  # Ready once it names itself on the root window; windows mapped before go unmanaged.
  for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
  done
fi

# Little-endian 32-bit value as printf escapes.
le32() {
  printf '\\x%02x\\x%02x\\x%02x\\x%02x' $(($1 & 255)) $((($1 >> 8) & 255)) \
    $((($1 >> 16) & 255)) $((($1 >> 24) & 255))
}
# write_wave PATH SECONDS SOURCE: 16-bit stereo 44.1 kHz PCM taken from SOURCE.
write_wave() {
  local bytes=$(($2 * 176400))
  {
    printf "RIFF$(le32 $((36 + bytes)))WAVEfmt $(le32 16)\\x01\\x00\\x02\\x00$(le32 44100)"
    printf "$(le32 176400)\\x04\\x00\\x10\\x00data$(le32 "$bytes")"
    head -c "$bytes" "$3"
  } >"$1"
}

wave="$work/ウェーブ"
mkdir -p "$wave" "$work/ogg/mirror" "$work/home" "$work/config/lumio" "$work/runtime" "$work/bin"
chmod 700 "$work/runtime"
# A desktop without a program for text files: the help opens in Lumio's own window.
printf '#!/bin/sh\nexit 3\n' >"$work/bin/xdg-open"
chmod +x "$work/bin/xdg-open"
write_wave "$wave/intro.wav" 5 /dev/zero
write_wave "$wave/theme.wav" 12 /dev/zero
# Noise is slow to encode, so the progress window stays up long enough to be seen.
write_wave "$wave/long.wav" 300 /dev/urandom
# A copy that stopped halfway: its header declares four seconds, it holds two. With
# 出力を検証する on, the report tells why it fails.
write_wave "$wave/cut.wav" 4 /dev/zero
truncate -s $((44 + 2 * 176400)) "$wave/cut.wav"
# Two encoders at once, so that the progress window shows a bar for each; ReplayGain
# and verification on, so that the setup window shows them and the lanes say 音量解析中;
# the folder tree kept and up-to-date outputs skipped, as for a library mirror.
cat >"$work/config/lumio/lumio.ini" <<INI
[General]
OpenDir=$wave/
DefDir=$work/ogg/
[Options]
ParallelEncoders=2
ReplayGain=2
VerifyOutputs=1
KeepFolderTree=1
ExistingOutput=1
INI

# find_window TITLE-REGEX: the id of the first visible window of that title.
find_window() {
  timeout 60 xdotool search --sync --onlyvisible --name "$1" | head -n 1
}
# shoot WINDOW NAME: saves the window with its frame as docs/NAME.png.
shoot() {
  sleep 0.5
  import -frame -window "$1" "$repo/docs/$2.png"
  echo "docs/$2.png"
}
# click WINDOW X Y: a left click at a point of the window's client area.
click() {
  xdotool mousemove --window "$1" "$2" "$3" click 1
  sleep 0.4
}

# The add-files dialog starts in the current folder.
(cd "$wave" && HOME="$work/home" XDG_CONFIG_HOME="$work/config" LANG=C.UTF-8 \
  XDG_RUNTIME_DIR="$work/runtime" PATH="$work/bin:$PATH" exec "$binary") >/dev/null 2>&1 &
pids+=($!)

main=$(find_window '^Lumio v[0-9.]+$')
sleep 1
# The client area is 539 × 505 below the menu bar.
height=$(xdotool getwindowgeometry "$main" | sed -n 's/.*Geometry: [0-9]*x\([0-9]*\).*/\1/p')
menu=$((height - 505))

# Add the four files through the add-files dialog, whose Qt texts are in Japanese.
click "$main" $((424 + 44)) $((menu + 24 + 12))
shoot "$(find_window '^開く$')" open-dialog
xdotool type --delay 20 '"long.wav" "intro.wav" "theme.wav" "cut.wav"'
xdotool key Return
sleep 1.5
# cut.wav is shorter than its header says: the note that names it is closed with OK.
find_window '^警告$' >/dev/null
xdotool key Return
sleep 0.5

# Select the second entry and give it a title.
click "$main" $((24 + 60)) $((menu + 24 + 2 + 12 + 6))
click "$main" $((24 + 80 + 60)) $((menu + 192 + 16 + 10))
xdotool type --delay 20 'Main Theme'
shoot "$main" main

# The title field's context menu (Qt's texts, in Japanese) over the main window.
xdotool mousemove --window "$main" $((24 + 80 + 60)) $((menu + 192 + 16 + 10)) click 3
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$main")"
import -window root -crop "${WIDTH}x${HEIGHT}+$X+$Y" "$repo/docs/context-menu.png"
echo "docs/context-menu.png"
xdotool key Escape
sleep 0.3

# The 編集 menu, whose first item numbers the selected entry, then the pattern window of
# タグからファイル名 for it; キャンセル changes nothing.
xdotool key --window "$main" alt+t
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$main")"
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" "$repo/docs/edit-menu.png"
echo "docs/edit-menu.png"
xdotool key n
sleep 0.4
xdotool key --window "$main" alt+t
sleep 0.5
xdotool key f
pattern=$(find_window '^タグからファイル名$')
shoot "$pattern" tag-pattern
xdotool key Escape
sleep 0.4

# Setup window, both pages; キャンセル leaves the settings as they were.
click "$main" $((104 + 40)) $((menu + 464 + 12))
setup=$(find_window '^設定$')
shoot "$setup" setup-general
click "$setup" 100 18
shoot "$setup" setup-encode-options
click "$setup" 205 18
shoot "$setup" setup-carry
# The page 出力形式 with Ogg Opus chosen from its list, which shows Opus's own options.
click "$setup" 262 18
click "$setup" $((9 + 112 + 68)) $((31 + 24 + 10))
xdotool key Down Return
sleep 0.4
shoot "$setup" setup-opus
click "$setup" $((216 + 45)) $((296 + 10))

# A run: the progress window while the long file is encoded beside the others, then the
# report.
click "$main" $((336 + 92)) $((menu + 456 + 16))
progress=$(find_window '^処理中')
sleep 1
shoot "$progress" progress
result=$(timeout 300 xdotool search --sync --onlyvisible --name '^Lumio Result$' | head -n 1)
shoot "$result" result
click "$result" $((124 + 52)) $((232 + 10))

# About window from the Help menu.
xdotool key --window "$main" alt+h
sleep 0.5
xdotool key a
about=$(find_window '^About Lumio$')
shoot "$about" about
xdotool key Return
sleep 0.5

# The help from the Help menu, in Lumio's own window, searched for a word.
xdotool key --window "$main" alt+h
sleep 0.5
xdotool key h
help=$(find_window '^Lumio ヘルプ$')
xdotool key ctrl+f
xdotool type --delay 20 'oggenc'
xdotool key Return
shoot "$help" help-window
xdotool key Escape
sleep 0.5

# A folder of tagged FLAC files, handed to the running window by a second start as a
# file manager's "Open with" does; the first of them selected shows the tags read.
flacs="$work/夜の歌"
mkdir -p "$flacs"
head -c 882000 /dev/zero >"$work/silence.raw"
for track in 1 2 10; do
  flac -s -f --force-raw-format --endian=little --sign=signed --channels=2 --bps=16 \
    --sample-rate=44100 --tag="TITLE=曲 $track" --tag="ARTIST=Lumio Trio" \
    --tag="ALBUM=夜の歌" --tag="DATE=2024" --tag="TRACKNUMBER=$track" \
    --tag="COMMENT=FLAC から" --tag="GENRE=Jazz" --tag="ALBUMARTIST=Lumio Trio" \
    --tag="COMPOSER=夜野 歌子" --tag="DISCNUMBER=1" -o "$flacs/$track.flac" "$work/silence.raw"
done
# A cover beside them, which each output carries as its front cover.
convert -size 300x300 gradient:'#2b4c7e-#e0a458' "$flacs/cover.png"
HOME="$work/home" XDG_CONFIG_HOME="$work/config" LANG=C.UTF-8 \
  XDG_RUNTIME_DIR="$work/runtime" "$binary" "$flacs" >/dev/null 2>&1
sleep 1.5
click "$main" $((24 + 60)) $((menu + 24 + 2 + 4 * 12 + 6))
shoot "$main" main-flac

# すべてのタグ for the selected FLAC entry: the six fields, the carried ones, the cover.
xdotool key --window "$main" ctrl+l
alltags=$(find_window '^すべてのタグ$')
sleep 1
shoot "$alltags" all-tags
xdotool key Escape
sleep 0.4

# The FLAC files selected (the first of them, then Shift+End), then the folder "mirror"
# opened in the 出力先 tree with the keyboard: the last row of the tree is the output
# folder's only subfolder.
click "$main" $((24 + 60)) $((menu + 24 + 2 + 4 * 12 + 6))
xdotool key shift+End
sleep 0.3
click "$main" $((328 + 90)) $((menu + 240 + 8))
xdotool key End Return
sleep 0.8
shoot "$main" output-folder

# A library mirror: the cut WAVE, which verification fails, leaves the list first; then
# the first run encodes the files and the second skips them all.
click "$main" $((24 + 60)) $((menu + 24 + 2 + 3 * 12 + 6))
xdotool key Delete
sleep 0.3
for run in first second; do
  click "$main" $((336 + 92)) $((menu + 456 + 16))
  result=$(timeout 120 xdotool search --sync --onlyvisible --name '^Lumio Result$' | head -n 1)
  [ "$run" = second ] && shoot "$result" mirror-report
  click "$result" $((124 + 52)) $((232 + 10))
done

# A disc image with a Shift-JIS (CP932) CUE sheet, handed over by a second start: its
# three tracks join the list, the last of them selected.
disc="$work/ディスク"
mkdir -p "$disc"
write_wave "$disc/disc.wav" 9 /dev/zero
printf 'REM GENRE J-Pop\r\nREM DATE 2001\r\nPERFORMER "\x89\xcc\x8e\xe8"\r\nTITLE "\x96\xe9\x82\xcc\x89\xcc"\r\nFILE "disc.wav" WAVE\r\n' \
  >"$disc/disc.cue"
printf '  TRACK 01 AUDIO\r\n    TITLE "\x8f\x98\x8b\xc8"\r\n    INDEX 01 00:00:00\r\n' >>"$disc/disc.cue"
printf '  TRACK 02 AUDIO\r\n    TITLE "\x8c\xce"\r\n    INDEX 00 00:02:00\r\n    INDEX 01 00:03:00\r\n' \
  >>"$disc/disc.cue"
printf '  TRACK 03 AUDIO\r\n    TITLE "\x96\xe9\x96\xbe\x82\xaf"\r\n    INDEX 01 00:06:00\r\n' \
  >>"$disc/disc.cue"
HOME="$work/home" XDG_CONFIG_HOME="$work/config" LANG=C.UTF-8 \
  XDG_RUNTIME_DIR="$work/runtime" "$binary" "$disc/disc.cue" >/dev/null 2>&1
sleep 1.5
click "$main" $((24 + 60)) $((menu + 24 + 2 + 6))
xdotool key End
sleep 0.5
shoot "$main" main-cue
