#!/usr/bin/env bash
# Builds Brisvale and its Debian package into build/package/ (or
# $BRISVALE_BUILD_DIR/package), then checks the package with lintian.
# Extra arguments go to the CMake configuration, as for scripts/build.sh.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BRISVALE_BUILD_DIR:-$root/build}
"$root/scripts/deps.sh"
"$root/scripts/build.sh" "$@"
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls -t "$build"/package/brisvale_*.deb | head -n 1)
status=0
report=$(lintian --fail-on error,warning "$deb" 2>&1) || status=$?
grep -v 'running with root privileges' <<<"$report" || true
[ "$status" -eq 0 ] || { echo "lintian reports errors or warnings in $deb"; exit 1; }
echo "Package: $deb"
echo "Install it with: sudo apt install $deb"
