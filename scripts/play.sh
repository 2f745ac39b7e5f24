#!/usr/bin/env bash
# Installs what is missing, builds Brisvale and starts the game. Without a
# display it starts the game on a virtual one and saves a screenshot of the table.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
"$root/scripts/build.sh" -DBRISVALE_BUILD_TESTS=OFF
game="${BRISVALE_BUILD_DIR:-$root/build}/app/brisvale"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$game"
fi

shot="${BRISVALE_BUILD_DIR:-$root/build}/table.png"
display=:${BRISVALE_XVFB_DISPLAY:-97}
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$game_pid" "$xvfb" 2>/dev/null || true' EXIT INT TERM
sleep 1
DISPLAY=$display "$game" &
game_pid=$!
sleep 4
DISPLAY=$display import -window root "$shot"
echo "No display here: Brisvale is running on the virtual display $display."
echo "A screenshot of the table is saved at $shot"
echo "Press Ctrl+C to stop the game."
wait "$game_pid" || true
