#!/usr/bin/env bash
# Installs what is needed, builds the tool and runs it against the built-in simulated
# module. With a display: the window, connected and running, until it is closed.
# Without one: an off-screen run of a few seconds, then where its screenshot, raw
# recording and log are.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" >/dev/null
cmake --build "$build" -j "$(nproc)" --target TivanePeloTool
tool="$build/TivanePeloTool"

if [[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" && "${QT_QPA_PLATFORM:-}" != offscreen ]]; then
  exec "$tool" --simulate --start
fi

seconds=${DEMO_SECONDS:-8}
shot="$build/demo-screenshot.png"
marker=$(mktemp)
trap 'rm -f "$marker"' EXIT
echo "Running the tool off-screen against the simulated module for $seconds seconds..."
QT_QPA_PLATFORM=offscreen "$tool" --simulate --start --seconds "$seconds" --screenshot "$shot"

# The files of this run are the newest of their kind in Log/ beside the tool.
newest() {
  find "$build/Log" -maxdepth 1 -name "TivanePeloTOOL_*.$1" -newer "$marker" -printf '%T@ %p\n' 2>/dev/null |
    sort -n | tail -n 1 | cut -d' ' -f2-
}
raw=$(newest dat)
log=$(newest log)
echo "screenshot:    $(realpath "$shot")"
if [[ -n "$raw" ]]; then
  echo "raw recording: $(realpath "$raw") ($(stat -c %s "$raw") bytes)"
else
  echo "raw recording: none was written"
fi
if [[ -n "$log" ]]; then
  echo "log:           $(realpath "$log")"
else
  echo "log:           none was written"
fi
