#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test through ctest.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
"$root/scripts/build.sh" -DBRISVALE_BUILD_TESTS=ON -DBRISVALE_WERROR=ON
# The codec library under AddressSanitizer and UBSan over its regression files.
"$root/scripts/fuzz.sh" regress
cd "${BRISVALE_BUILD_DIR:-$root/build}"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$(nproc)"
