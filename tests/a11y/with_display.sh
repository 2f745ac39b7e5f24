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

# The first free display from 61 up (well clear of a desktop's own). The
# server takes a display by its lock file and writes the number to the
# descriptor once it accepts clients; one that finds the display taken (by a
# run started at the same moment, say) exits, and the next number is tried.
# It must not reset when its first client leaves: the accessibility bus
# connects and goes before the program under test arrives.
display=
for n in $(seq "${BRISVALE_TEST_DISPLAY:-61}" 99); do
  : >"$work/display"
  Xvfb ":$n" -displayfd 3 -screen 0 1280x960x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
  xvfb_pid=$!
  for _ in $(seq 200); do
    if [ -s "$work/display" ] || ! kill -0 "$xvfb_pid" 2>/dev/null; then
      break
    fi
    sleep 0.05
  done
  if [ -s "$work/display" ] && kill -0 "$xvfb_pid" 2>/dev/null; then
    display=":$n"
    break
  fi
  kill "$xvfb_pid" 2>/dev/null || true
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
