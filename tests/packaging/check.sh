#!/usr/bin/env bash
# Checks of the installed tree and the package, run by ctest:
#   check.sh install  BUILD DEST   install the build into DEST (a DESTDIR) under /opt/brisvale
#   check.sh run      BUILD DEST   the installed game finds its data and opens its table
#   check.sh programs BUILD DEST   every installed program answers --help and --version from
#                                  its help text and has a manual page that reads cleanly
#   check.sh desktop  BUILD DEST   desktop-file-validate on the menu entry
#   check.sh metainfo BUILD DEST   appstreamcli validate on the metainfo
#   check.sh deb      BUILD DEST   the .deb: lintian without errors or warnings, the game runs from it
# Exit status 77 means a tool is missing and the check was skipped.
set -euo pipefail
mode=$1 build=$2 dest=$3
prefix=/opt/brisvale
tree=$dest$prefix

skip() { echo "SKIPPED: $1 is not installed (scripts/deps.sh installs it)"; exit 77; }
fail() { echo "FAIL: $*"; exit 1; }
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

case $mode in
install)
  rm -rf "$dest"
  DESTDIR=$dest cmake --install "$build" --prefix "$prefix" >/dev/null
  ;;
run)
  # A fresh profile, a working folder without sounds, no data folder given.
  out=$(cd "$scratch" && env -u BRISVALE_WINDIR XDG_CONFIG_HOME="$scratch" QT_QPA_PLATFORM=offscreen \
        "$tree/bin/brisvale" --self-test 2>"$scratch/stderr") || { cat "$scratch/stderr"; fail "self-test: $out"; }
  echo "$out"
  grep -qx "data folder: $tree/share/brisvale" <<<"$out" || fail "the data folder is not the installed one"
  grep -q "^default picture: $tree/share/brisvale/CASTLE.BMP, 640 x 480$" <<<"$out" || fail "no default picture"
  grep -qx "chime: $tree/share/brisvale/CHIMES.WAV" <<<"$out" || fail "no chime"
  grep -q '^table: "Brisvale for Windows 95 Version ' <<<"$out" || fail "the table did not open"
  ;;
programs)
  version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
  declare -A help section
  while IFS='|' read -r name sec file; do
    [ -n "$name" ] && help[$name]=$file section[$name]=$sec
  done <"$build/programs.txt"
  for program in "$tree"/bin/*; do
    name=$(basename "$program")
    [ -n "${help[$name]:-}" ] || fail "$name is installed without a help text (brisvale_program in its CMakeLists.txt)"
    # Without a display: the game must answer before it opens any window.
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" --help >"$scratch/help" ||
      fail "$name --help failed"
    cmp -s "$scratch/help" "${help[$name]}" || fail "$name --help differs from ${help[$name]}"
    [ "$(env -u DISPLAY -u QT_QPA_PLATFORM "$program" --version)" = "$name $version" ] ||
      fail "$name --version does not say '$name $version'"
    if [ -w /dev/full ] && "$program" --help >/dev/full 2>/dev/null; then
      fail "$name --help reports success although its output could not be written"
    fi
    page=$tree/share/man/man${section[$name]}/$name.${section[$name]}.gz
    [ -f "$page" ] || fail "no manual page $page"
    if command -v man >/dev/null; then
      warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l -Tutf8 "$page" 2>&1 >/dev/null)
      [ -z "$warnings" ] || fail "manual page of $name: $warnings"
    fi
    echo "$name: --help, --version and its manual page agree"
  done
  ;;
desktop)
  command -v desktop-file-validate >/dev/null || skip desktop-file-validate
  entries=("$tree"/share/applications/*.desktop)
  [ -f "${entries[0]}" ] || fail "no .desktop entry installed"
  desktop-file-validate "${entries[@]}"
  grep -qx 'Categories=Game;CardGame;' "${entries[@]}" || fail "the entry is not in Game;CardGame;"
  # Docks match the running window to its launcher by the window's class.
  grep -qx 'StartupWMClass=brisvale' "${entries[@]}" || fail "the entry does not name the window class"
  echo "desktop entry valid: ${entries[*]##*/}"
  ;;
metainfo)
  command -v appstreamcli >/dev/null || skip appstreamcli
  files=("$tree"/share/metainfo/*.metainfo.xml)
  [ -f "${files[0]}" ] || fail "no metainfo installed"
  appstreamcli validate --no-net "${files[@]}"
  grep -q '<release version=' "${files[@]}" || fail "the metainfo has no release notes"
  ;;
deb)
  command -v dpkg-shlibdeps >/dev/null || skip dpkg-shlibdeps
  command -v lintian >/dev/null || skip lintian
  (cd "$build" && cpack -G DEB -B "$scratch/package" >"$scratch/cpack.log") || { cat "$scratch/cpack.log"; fail cpack; }
  deb=$(ls "$scratch"/package/*.deb)
  dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || fail "the dependencies were not computed"
  status=0
  lintian --fail-on error,warning "$deb" >"$scratch/lintian.log" 2>&1 || status=$?
  grep -v 'running with root privileges' "$scratch/lintian.log" || true
  [ "$status" -eq 0 ] || fail "lintian reports errors or warnings"
  dpkg-deb -x "$deb" "$scratch/root"
  (cd "$scratch" && env -u BRISVALE_WINDIR XDG_CONFIG_HOME="$scratch" QT_QPA_PLATFORM=offscreen \
     "$scratch/root/usr/games/brisvale" --self-test 2>/dev/null) || fail "the packaged game does not find its data"
  echo "$(basename "$deb"): lintian reports no error or warning; the packaged game finds its data"
  ;;
*)
  fail "unknown check $mode"
  ;;
esac
