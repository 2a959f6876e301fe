#!/usr/bin/env bash
# Installs, with apt-get, the Debian packages that Lumio needs. Does nothing when every
# one of them is present already.
# Usage: scripts/install-deps.sh [--run]
#   --run  only what building and running the program needs (scripts/run.sh)
#   (none) that and what the tests, benchmarks, sanitizers, fuzzing, screenshots and
#          the package and its checks need (scripts/test.sh, package.sh, sanitize.sh)
set -euo pipefail

# Building and running.
packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-svg-dev qt6-translations-l10n
  libtag1-dev libvorbis-dev libogg-dev libebur128-dev libopusfile-dev
  vorbis-tools opus-tools ffmpeg
  fonts-ipafont-gothic
)

# Testing, measuring and packaging.
if [ "${1:-}" != "--run" ]; then
  packages+=(
    libgtest-dev libgmock-dev libbenchmark-dev
    clang libclang-rt-14-dev
    flac sox
    xvfb xauth x11-utils xdotool imagemagick python3-xlib openbox
    git dpkg-dev lintian appstream desktop-file-utils man-db
  )
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null 2>&1; then
  as_root=(sudo)
else
  echo "install-deps: these packages are missing and neither root nor sudo is available: ${missing[*]}" >&2
  exit 1
fi

echo "install-deps: installing ${missing[*]}"
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq "${missing[@]}"
