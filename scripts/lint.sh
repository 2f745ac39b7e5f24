#!/usr/bin/env bash
# The formatting and static checks of the C++ sources:
#   scripts/lint.sh format          lists the files that differ from .clang-format; fails if any
#   scripts/lint.sh format --fix    reformats them in place
#   scripts/lint.sh tidy [FILE...]  clang-tidy with .clang-tidy over every source file the build
#                                   compiles (or the given ones); fails on any finding
#   scripts/lint.sh                 both checks
# clang-tidy reads build/compile_commands.json (or $BRISVALE_BUILD_DIR's), so
# build first; $BRISVALE_LINT_JOBS sets how many files it checks at once.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BRISVALE_BUILD_DIR:-$root/build}
cd "$root"

check_format() {
  local fix=${1:-} bad=()
  mapfile -t files < <(git ls-files '*.cpp' '*.h')
  if [ "$fix" = --fix ]; then
    clang-format -i "${files[@]}"
    echo "reformatted ${#files[@]} files"
    return 0
  fi
  for f in "${files[@]}"; do
    clang-format --dry-run --Werror "$f" >/dev/null 2>&1 || bad+=("$f")
  done
  if [ ${#bad[@]} -gt 0 ]; then
    printf 'not formatted: %s\n' "${bad[@]}"
    echo "run: scripts/lint.sh format --fix"
    return 1
  fi
  echo "format: ${#files[@]} files as .clang-format wants"
}

check_tidy() {
  [ -f "$build/compile_commands.json" ] || { echo "no $build/compile_commands.json: build first"; return 1; }
  local files=("$@")
  if [ ${#files[@]} -eq 0 ]; then
    # The sources of this build configuration (fuzz targets, tools and
    # benchmarks only when they are configured).
    mapfile -t files < <(comm -12 <(git ls-files '*.cpp' | sort) \
      <(sed -n 's|^ *"file": "'"$root"'/\(.*\)",\{0,1\}$|\1|p' "$build/compile_commands.json" | sort -u))
  fi
  local log status=0
  log=$(mktemp)
  printf '%s\n' "${files[@]}" |
    xargs -P "${BRISVALE_LINT_JOBS:-$(nproc)}" -n 4 clang-tidy -p "$build" --quiet >"$log" 2>&1 || status=$?
  grep -v -E '^[0-9]+ warnings? generated\.$|^Suppressed [0-9]+ warnings|^Use -header-filter' "$log" || true
  rm -f "$log"
  [ "$status" -eq 0 ] || { echo "clang-tidy found faults"; return 1; }
  echo "tidy: ${#files[@]} files clean"
}

case ${1:-all} in
format) check_format "${2:-}" ;;
tidy) shift; check_tidy "$@" ;;
all) check_format && check_tidy ;;
*) echo "usage: $0 [format [--fix] | tidy [FILE...]]" >&2; exit 2 ;;
esac
