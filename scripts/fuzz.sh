#!/usr/bin/env bash
# The sanitizer build of the codec library and its fuzz targets (clang,
# AddressSanitizer, UBSan, libFuzzer) in build-fuzz/ (or $BRISVALE_FUZZ_DIR).
#   scripts/fuzz.sh regress          run every target over the regression files
#                                    in tests/imaging/crashers and the fixtures
#   scripts/fuzz.sh run READER SECS  fuzz one reader (bmp pcx gif png png_columns jpeg jpeg_small tiff
#                                    webp avif heif)
#                                    with the program's own picture limits under a
#                                    memory cap; crashes and any single allocation
#                                    past the largest picture's worth land in
#                                    build-fuzz/findings/READER
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BRISVALE_FUZZ_DIR:-$root/build-fuzz}
readers=(bmp pcx gif png png_columns jpeg jpeg_small tiff webp avif heif)
declare -A ext=([bmp]=bmp [pcx]=pcx [gif]=gif [png]=png [png_columns]=png [jpeg]=jpg [jpeg_small]=jpg [tiff]=tif [webp]=webp [avif]=avif [heif]=heic)

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DBRISVALE_BUILD_TESTS=OFF -DBRISVALE_BUILD_FUZZ=ON -DBRISVALE_HARDENING=OFF >/dev/null
cmake --build "$build" --parallel 2 --target "${readers[@]/#/fuzz_}" icc_fuzz wave_fuzz hive_document_fuzz message_fuzz \
  profile_fuzz >/dev/null

fixtures="$build/fixtures"
[ -f "$fixtures/fixtures.done" ] || bash "$root/tests/imaging/make_fixtures.sh" "$fixtures" >/dev/null 2>&1
phone="$build/phone_fixtures"
[ -f "$phone/fixtures.done" ] || bash "$root/tests/imaging/make_phone_fixtures.sh" "$phone" >/dev/null 2>&1
export ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

case "${1:-regress}" in
regress)
  for r in "${readers[@]}"; do
    # Every regression file goes through every reader (crashers must fail, the
    # codec corpus may read); the fixtures through their own.
    mapfile -t inputs < <(find "$root/tests/imaging/crashers" "$root/tests/fuzz/corpus/codec" "$fixtures" "$phone" \
      -maxdepth 1 -type f \( -path "$root/tests/*" -o -name "*.${ext[$r]}" \) | sort)
    "$build/tests/fuzz/fuzz_$r" -runs=1 -malloc_limit_mb=640 "${inputs[@]}" >"$build/regress_$r.log" 2>&1 ||
      { cat "$build/regress_$r.log"; echo "fuzz_$r failed on a regression file"; exit 1; }
    echo "fuzz_$r: ${#inputs[@]} files clean under AddressSanitizer and UBSan"
  done
  "$build/tests/fuzz/icc_fuzz" -runs=1 "$root"/tests/fuzz/corpus/icc/* "$root"/tests/imaging/crashers/* \
    >"$build/regress_icc.log" 2>&1 || { cat "$build/regress_icc.log"; echo "icc_fuzz failed on a regression file"; exit 1; }
  echo "icc_fuzz: colour profiles and the regression files clean"
  "$build/tests/fuzz/wave_fuzz" -runs=1 "$root"/tests/fuzz/corpus/wave/* >"$build/regress_wave.log" 2>&1 ||
    { cat "$build/regress_wave.log"; echo "wave_fuzz failed on its corpus"; exit 1; }
  echo "wave_fuzz: its corpus clean"
  for target in hive_document:hive message:message profile:profile; do
    name=${target%%:*}_fuzz corpus=${target#*:}
    "$build/tests/fuzz/$name" -runs=1 "$root"/tests/fuzz/corpus/"$corpus"/* >"$build/regress_$corpus.log" 2>&1 ||
      { cat "$build/regress_$corpus.log"; echo "$name failed on its corpus"; exit 1; }
    echo "$name: its corpus clean"
  done
  ;;
run)
  r=$2
  seconds=$3
  corpus="$build/corpus/$r"
  findings="$build/findings/$r"
  mkdir -p "$corpus" "$findings"
  # The phone kinds start from small files: a photograph's worth of pixels
  # costs each run of the sanitizer build far too much time.
  cp -n "$fixtures"/*."${ext[$r]}" "$phone"/seed_*."${ext[$r]}" "$corpus"/ 2>/dev/null || true
  # The largest picture the limits allow is 2^27 pixels, 512 MiB at 32 bits;
  # a header that gets more than that in one allocation is a finding. A
  # picture of a few megapixels may take seconds under the sanitizers on a
  # busy machine, so only a minute on one input counts as hanging.
  "$build/tests/fuzz/fuzz_$r" -max_total_time="$seconds" -timeout=60 -rss_limit_mb=2048 -malloc_limit_mb=640 \
    -artifact_prefix="$findings/" -print_final_stats=1 "$corpus"
  ;;
*)
  echo "usage: $0 [regress | run READER SECONDS]" >&2
  exit 2
  ;;
esac
