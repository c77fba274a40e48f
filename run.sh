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
# Headless: the demo walks every menu path from the logo on a fresh profile,
# on a fixed step of 20 ms, and writes a picture of each main screen into
# screenshots/ (the script's own relative paths; see Host/demo-script.txt).
rm -rf build/run-data-headless
mkdir -p screenshots
build/release/Host/tovrane-host --headless --fixed-step 20 --frames 8000 \
  --title build/release/title --data build/run-data-headless --script Host/demo-script.txt "$@"
echo "No display: played the demo headless on a fixed step of 20 ms, from the logo through every menu path to Exit."
echo "Screenshots of the main screens are in $(pwd)/screenshots"
