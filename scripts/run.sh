#!/usr/bin/env bash
# Builds Kelpo and starts it on the bundled sample catalogue. Without a display it runs on a
# virtual one for a few seconds and saves a screenshot into the build folder instead.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
kelpo_install "${KELPO_BUILD_PACKAGES[@]}" "${KELPO_RUN_PACKAGES[@]}"

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF
cmake --build build --target kelpo

cd build/bin
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec ./kelpo
fi

shot="$(cd .. && pwd)/kelpo-screenshot.png"
echo "No display found: running Kelpo on a virtual display for a few seconds."
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  ./kelpo & pid=$!
  sleep 5
  import -window root "$1"
  kill $pid 2>/dev/null; wait $pid 2>/dev/null || true' _ "$shot"
echo "Screenshot of the catalogue window saved to $shot"
