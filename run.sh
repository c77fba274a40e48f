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
mkdir -p screenshots
shots=()
for frame in 30 120 240 480; do shots+=(--screenshot "$frame:screenshots/frame-$frame.png"); done
build/release/Host/tovrane-host --headless --fixed-step 16 --frames 600 \
  --title build/release/title --data build/run-data "${shots[@]}" "$@"
echo "No display: ran headless; screenshots are in $(pwd)/screenshots"
