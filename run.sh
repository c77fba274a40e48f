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
# Headless: a new player walks from the logo through the title into the main
# menu and opens the lessons page (the Lessons button's centre, screen pixels).
mkdir -p screenshots
rm -rf build/run-data-headless
printf '%s\n' '420 tap 230 68' > screenshots/walk.txt
build/release/Host/tovrane-host --headless --fixed-step 16 --frames 520 \
  --title build/release/title --data build/run-data-headless --script screenshots/walk.txt \
  --screenshot 60:screenshots/logo.png --screenshot 250:screenshots/title.png \
  --screenshot 410:screenshots/main-menu.png --screenshot 510:screenshots/lessons-page.png "$@"
echo "No display: ran headless; screenshots are in $(pwd)/screenshots"
