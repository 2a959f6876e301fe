#!/usr/bin/env bash
# Writes a small seed corpus for each fuzz target into OUTPUT/TARGET/ (default
# build-asan/fuzz/seeds): a few valid and nearly valid inputs from which the fuzzer
# starts.
#
# Usage: scripts/make-fuzz-corpus.sh [OUTPUT]
set -euo pipefail
out=${1:-build-asan/fuzz/seeds}
for target in wave_header_fuzz settings_store_fuzz command_line_fuzz path_rules_fuzz \
  time_text_fuzz audio_header_fuzz encoder_output_fuzz source_tags_fuzz \
  hand_over_message_fuzz vorbis_comment_fuzz decoder_output_fuzz embedded_pictures_fuzz \
  cue_sheet_fuzz ogg_comment_packet_fuzz flac_cue_sheet_fuzz; do
  mkdir -p "$out/$target"
done

# Little-endian 16- and 32-bit values as printf escapes.
le16() { printf '\\x%02x\\x%02x' $(($1 & 255)) $((($1 >> 8) & 255)); }
le32() { printf '%s%s' "$(le16 $(($1 & 65535)))" "$(le16 $((($1 >> 16) & 65535)))"; }
# wave FORMAT CHANNELS RATE BITS DATA-BYTES: a header with a fmt and a data chunk.
wave() {
  local align=$(($2 * $4 / 8))
  printf "RIFF$(le32 $((36 + $5)))WAVEfmt $(le32 16)$(le16 "$1")$(le16 "$2")$(le32 "$3")"
  printf "$(le32 $(($3 * align)))$(le16 $align)$(le16 "$4")data$(le32 "$5")"
  head -c "$5" /dev/zero
}
w="$out/wave_header_fuzz"
wave 1 2 44100 16 64 >"$w/pcm-stereo"
wave 1 1 8000 8 8 >"$w/pcm-mono"
wave 3 2 48000 32 32 >"$w/float"
wave 1 2 44100 16 64 >"$w/cut-in-fmt"
truncate -s 30 "$w/cut-in-fmt"
{ printf 'RIFF\x40\x00\x00\x00WAVELIST\x04\x00\x00\x00INFO'; wave 1 2 22050 16 16 | tail -c +13; } \
  >"$w/list-before-fmt"

s="$out/settings_store_fuzz"
printf '[Options]\r\nSameOutPut=0\r\nUseStdOutput=1\r\nStdOutputDir=D:\\Music\\Ogg\\\r\n\r\n[EncodeOption]\r\nQuality=45\r\nUseOption=2\r\n\r\n[General]\r\nOpenDir=/music/\r\nDefDir=/ogg/\r\n\r\n' \
  >"$s/example"
printf 'orphan=1\n; note\n  [ options ]\n viewcheck = 1 \nfree text\r[\x83\x61]\rK=\x83\x5c\x00tail' >"$s/odd"

c="$out/command_line_fuzz"
printf '\x01C:\\Program Files\\oggenc.exe\\\\title "quoted"\\\\art\\\\\\\\\\\\alb\\\\2024\\\\3\\\\line\r\nbreak\\\\out.ogg\\\\in.wav' \
  >"$c/tags"
printf '\x00\x83"\x83\\\\a\\\\\x81\\\\\\\\"\\\\"' >"$c/shift-jis-quotes"

p="$out/path_rules_fuzz"
printf '\x00\x00\\D:\\Tools\\Lumio.exe' >"$p/windows"
printf '\x01\x01//home/user/音楽/song.wav' >"$p/posix"
printf '\x00\x01:\\\x83\x5c\x81' >"$p/shift-jis-trail"

t="$out/time_text_fuzz"
printf '\x58\xe9\x01\x00\x00\x00\x00\x00\x42\xef\x00\x00\x00\x00\x00\x00' >"$t/minutes"
printf '\xff\xff\xff\xff\xff\xff\xff\x7f\x00\x00\x00\x00\x00\x00\x00\x80' >"$t/extremes"

# The first byte chooses the kind: even FLAC, odd AIFF.
a="$out/audio_header_fuzz"
{ printf '\x00fLaC\x80\x00\x00\x22\x10\x00\x10\x00\x00\x00\x00\x00\x00\x00'
  printf '\x0a\xc4\x42\xf0\x00\x01\x58\x88'; head -c 16 /dev/zero; } >"$a/flac-stereo"
{ printf '\x01FORM\x00\x00\x00\x2eAIFFCOMM\x00\x00\x00\x12\x00\x02\x00\x00\x00\x10'
  printf '\x00\x10\x40\x0e\xac\x44\x00\x00\x00\x00\x00\x00SSND\x00\x00\x00\x08'
  head -c 8 /dev/zero; } >"$a/aiff-stereo"

# The first byte chooses the kind: 0 FLAC, 1 WAVE, 2 AIFF.
g="$out/source_tags_fuzz"
{ printf '\x00fLaC\x00\x00\x00\x22\x10\x00\x10\x00\x00\x00\x00\x00\x00\x00'
  printf '\x0a\xc4\x42\xf0\x00\x01\x58\x88'; head -c 16 /dev/zero
  printf '\x84\x00\x00\x16\x02\x00\x00\x00lu\x01\x00\x00\x00\x08\x00\x00\x00TITLE=\x96\xe9'; } >"$g/flac-comment"
{ printf '\x01'; wave 1 2 44100 16 0
  printf 'LIST\x12\x00\x00\x00INFOINAM\x06\x00\x00\x00title\x00'; } >"$g/wave-info"
{ printf '\x02FORM\x00\x00\x00\x10AIFFNAME\x00\x00\x00\x04name'; } >"$g/aiff-name"

e="$out/encoder_output_fuzz"
printf '\x05Opening with wav module: WAV file reader\nEncoding "t.wav" to \n "out.ogg" \n\r\t[  4.8%%] [ 0m00s remaining] | \r\t[ 45.3%%] [ 1m12s remaining] - \n\nDone encoding file "out.ogg"\n' \
  >"$e/run"
printf '\x02ERROR: Input file "bad.wav" is not a supported format\n' >"$e/failure"

h="$out/hand_over_message_fuzz"
printf 'lumio-paths\n\x00\x00\x00\x00\x00\x00\x00\x17/music/a.flac\x00/music/\xff\x00' >"$h/two-paths"
printf 'lumio-paths\n\x00\x00\x00\x00\x04\x00\x00\x01/unended' >"$h/over-limit"

# A comment body with a vendor and two fields, one of them in CP932; a picture head.
v="$out/vorbis_comment_fuzz"
printf "$(le32 6)vendor$(le32 2)$(le32 7)TITLE=a$(le32 9)GENRE=\x89\x89\x89\xcc" >"$v/comment"
printf '\x00\x00\x00\x03\x00\x00\x00\x09image/png\x00\x00\x00\x01d' >"$v/picture"
printf '\x00\x00\x00\x10\x00\x00\x00\x10\x00\x00\x00\x18\x00\x00\x00\x00\x00\x00\x00\x04png!' >>"$v/picture"

d="$out/decoder_output_fuzz"
printf '\x03bitrate=1367.9kbits/s\ntotal_size=143114\nout_time_us=836984\nout_time=00:00:00.836984\nspeed=N/A\nprogress=continue\n' \
  >"$d/progress"
printf '\x07file:x.mp3: Invalid data found when processing input\nError closing file pipe:: Broken pipe\n' \
  >"$d/failure"
printf '\x01sample_rate=44100\nchannels=2\nbits_per_raw_sample=24\nduration=20.035918\n' >"$d/probe"

# Files whose tags hold a picture, each behind the byte that names its format, when
# ffmpeg is there to make them.
e="$out/embedded_pictures_fuzz"
if command -v ffmpeg >/dev/null; then
  scratch=$(mktemp -d)
  ffmpeg -nostdin -loglevel error -f lavfi -i testsrc=size=8x8 -frames:v 1 "$scratch/c.png"
  for seed in '0 mp3 libmp3lame' '1 m4a aac' '4 wma wmav2'; do
    set -- $seed
    ffmpeg -nostdin -loglevel error -f lavfi -i sine=duration=0.1 -i "$scratch/c.png" \
      -map 0 -map 1 -c:a "$3" -c:v copy -disposition:v attached_pic "$scratch/s.$2"
    { printf "\\x0$1"; cat "$scratch/s.$2"; } >"$e/$2"
  done
  rm -r "$scratch"
fi
# A CUE sheet with a pregap and two files, and one in CP932 with CR LF line ends.
q="$out/cue_sheet_fuzz"
printf 'REM GENRE Pop\nPERFORMER "A"\nTITLE "B"\nFILE "a.wav" WAVE\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n  TRACK 02 AUDIO\n    INDEX 00 03:10:00\nFILE b.flac FLAC\n    INDEX 01 00:00:00\n' \
  >"$q/two-files"
printf '\xef\xbb\xbfTITLE "\x83\x41"\r\nFILE \x83\x41.wav WAVE\r\nTRACK 1 AUDIO\r\nINDEX 01 99:59:74\r\n' >"$q/cp932"
# A FLAC CUESHEET block body: two tracks, the second with a pregap, and the lead-out.
z() { head -c "$1" /dev/zero; }
{ z 136; printf '\x80'; z 258; printf '\x03'
  z 8; printf '\x01'; z 26; printf '\x01'; z 8; printf '\x01'; z 3
  printf '\0\0\0\0\0\0\xac\x44\x02'; z 26; printf '\x02'; z 12; z 6; printf '\x02\x4c\x01'; z 3
  printf '\0\0\0\0\0\x01\x58\x88\xaa'; z 26; printf '\x00'; } >"$out/flac_cue_sheet_fuzz/two-tracks"
# A short Ogg Vorbis file from the encoder, when it is installed.
o="$out/ogg_comment_packet_fuzz"
if command -v oggenc >/dev/null; then
  wave 1 2 44100 16 17640 | oggenc -Q -t title -o "$o/tone.ogg" - || true
fi
