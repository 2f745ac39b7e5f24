#!/usr/bin/env bash
# Runs a command on a virtual display of its own, on the X11 platform, where
# Qt's accessibility layer exists (the offscreen platform has none, so there
# widgets raise no accessibility events at all).
# Usage: with_display.sh COMMAND [ARG...]
set -euo pipefail

if ! command -v Xvfb >/dev/null; then
  echo "FAIL: Xvfb is missing; scripts/deps.sh installs it" >&2
  exit 1
fi

work=$(mktemp -d)
xvfb_pid=
cleanup() {
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

# The server picks a free display itself and writes its number.
Xvfb -displayfd 3 -screen 0 1280x960x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
if [ ! -s "$work/display" ]; then
  echo "FAIL: the virtual display did not start:" >&2
  cat "$work/xvfb.log" >&2
  exit 1
fi
export DISPLAY=":$(head -n1 "$work/display")"
export QT_QPA_PLATFORM=xcb
"$@"
