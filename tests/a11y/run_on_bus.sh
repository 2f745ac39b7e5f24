#!/usr/bin/env bash
# Runs a command as a screen reader's program meets it: on a virtual display,
# with a private session bus on which the desktop's accessibility bus and its
# registry are running, and with Qt's bridge to that bus switched on.
# Usage: run_on_bus.sh COMMAND [ARG...]
# Exit status 77 (a skip) only when the accessibility bus cannot be started.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
if ! command -v dbus-run-session >/dev/null || ! command -v dbus-send >/dev/null; then
  echo "FAIL: the D-Bus tools are missing; scripts/deps.sh installs them" >&2
  exit 1
fi
if [ ! -x /usr/libexec/at-spi-bus-launcher ]; then
  echo "FAIL: the accessibility bus is missing; scripts/deps.sh installs at-spi2-core" >&2
  exit 1
fi

# Nothing of the caller's desktop session leaks in.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -m 700 "$work/runtime" "$work/config"
export XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config"
unset DBUS_SESSION_BUS_ADDRESS AT_SPI_BUS_ADDRESS
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1

# The accessibility bus is started before the program, as on a desktop: a
# program that has to start it itself gives up on it before it is up.
inner='
if ! dbus-send --session --print-reply --reply-timeout=20000 --dest=org.a11y.Bus \
     /org/a11y/bus org.a11y.Bus.GetAddress >"$0/a11y-bus" 2>&1; then
  echo "SKIP: the accessibility bus could not be started:"
  cat "$0/a11y-bus"
  exit 77
fi
exec "$@"'
"$here/with_display.sh" dbus-run-session -- bash -c "$inner" "$work" "$@"
