#!/usr/bin/env bash
# Installs what is missing, builds, and starts the game on the generated title:
# in a window when there is a display, otherwise headless with screenshots.
set -euo pipefail
cd "$(dirname "$0")"

./tools/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j"$(nproc)"

if [ ! -x build/release/Host/tovrane-host ]; then
  echo "Built. The host program is not there yet, so there is nothing to start."
  exit 0
fi

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec build/release/Host/tovrane-host --title build/release/title --data build/run-data "$@"
fi
rm -rf build/run-data-headless
mkdir -p screenshots
host=(build/release/Host/tovrane-host --headless --fixed-step 20 --title build/release/title
  --data build/run-data-headless)

if [ $# -eq 0 ]; then
  # Headless: the demo walks every menu path from the logo on a fresh profile,
  # on a fixed step of 20 ms, and writes a picture of each main screen into
  # screenshots/ (the script's own relative paths; see Host/demo-script.txt).
  "${host[@]}" --frames 8000 --script Host/demo-script.txt
  echo "No display: played the demo headless on a fixed step of 20 ms, from the logo through every menu path to Exit."
  echo "Screenshots of the main screens are in $(pwd)/screenshots"
  exit 0
fi

# Headless with options: the host runs with those options alone (no demo) for
# a bounded number of frames (--frames N, 600 unless given) and writes a
# picture of the last frame. Options given later win, as in the host.
frames=600
previous=
for option in "$@"; do
  [ "$previous" = --frames ] && frames=$option
  previous=$option
done
if ! [[ $frames =~ ^[1-9][0-9]*$ ]]; then
  echo "Without a display the run needs --frames N from 1 on, not \"$frames\""
  exit 2
fi
picture=screenshots/last-frame.png
rm -f "$picture"
status=0
"${host[@]}" --frames "$frames" --screenshot "$frames:$picture" "$@" || status=$?
if [ "$status" -ne 0 ]; then
  exit "$status"
fi
echo "No display: ran the host headless on a fixed step of 20 ms for up to $frames frames with: $*"
if [ -f "$picture" ]; then
  echo "The picture of its last frame is $(pwd)/$picture"
else
  echo "The run ended before frame $frames, so there is no picture of it."
fi
