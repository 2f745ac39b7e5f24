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

# The first free display from 61 up (well clear of a desktop's own); a
# display another run takes at the same moment is skipped.
display=
for n in $(seq "${BRISVALE_TEST_DISPLAY:-61}" 99); do
  [ -e "/tmp/.X$n-lock" ] && continue
  Xvfb ":$n" -screen 0 1280x960x24 -nolisten tcp 2>"$work/xvfb.log" &
  xvfb_pid=$!
  for _ in $(seq 100); do
    if [ -S "/tmp/.X11-unix/X$n" ] || ! kill -0 "$xvfb_pid" 2>/dev/null; then
      break
    fi
    sleep 0.1
  done
  if kill -0 "$xvfb_pid" 2>/dev/null && [ -S "/tmp/.X11-unix/X$n" ]; then
    display=":$n"
    break
  fi
  wait "$xvfb_pid" 2>/dev/null || true
  xvfb_pid=
done
if [ -z "$display" ]; then
  echo "FAIL: no virtual display could be started:" >&2
  cat "$work/xvfb.log" >&2
  exit 1
fi
export DISPLAY="$display"
export QT_QPA_PLATFORM=xcb
"$@"
