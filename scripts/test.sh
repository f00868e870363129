#!/usr/bin/env bash
# Installs what is missing, builds and runs every test.
#   scripts/test.sh              normal build (warnings are errors) and all tests
#   scripts/test.sh --sanitize   the same under AddressSanitizer and UndefinedBehaviorSanitizer
#   scripts/test.sh --fuzz SECS  builds the fuzz targets with clang and runs each for SECS seconds
# The normal build goes to build/, the tree scripts/run.sh runs from (override with WRENMAIL_BUILD).
set -euo pipefail
cd "$(dirname "$0")/.."

mode=normal
fuzz_seconds=0
case "${1:-}" in
  "") ;;
  --sanitize) mode=sanitize ;;
  --fuzz) mode=fuzz; fuzz_seconds=${2:?--fuzz needs a number of seconds} ;;
  -h|--help) sed -n '2,6p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
  *) echo "test.sh: unknown option '$1' (see --help)" >&2; exit 2 ;;
esac

bash scripts/install-deps.sh
jobs=$(nproc)

case $mode in
  normal)
    build=${WRENMAIL_BUILD:-build}
    bash scripts/configure-build.sh "$build"
    ninja -C "$build" -j"$jobs"
    ctest --test-dir "$build" --output-on-failure -j"$jobs"
    ;;
  sanitize)
    cmake -S . -B build-sanitize -G Ninja -DWRENMAIL_WERROR=ON -DWRENMAIL_SANITIZE=ON \
      -DWRENMAIL_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug >/dev/null
    ninja -C build-sanitize -j"$jobs"
    # Font and toolkit libraries keep process-wide caches that LeakSanitizer would report.
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
      LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp \
      ctest --test-dir build-sanitize --output-on-failure -j"$jobs"
    ;;
  fuzz)
    CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DWRENMAIL_FUZZ=ON -DWRENMAIL_SANITIZE=ON \
      -DWRENMAIL_TESTS=OFF -DWRENMAIL_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    ninja -C build-fuzz -j"$jobs"
    for target in build-fuzz/fuzz/*_fuzz; do
      name=$(basename "$target")
      corpus=build-fuzz/corpus/$name
      mkdir -p "$corpus"
      echo "fuzzing $name for ${fuzz_seconds}s"
      log=build-fuzz/$name.log
      # References are never released and ASan's quarantine keeps addresses from being reused,
      # so a small quarantine keeps a long run's memory bounded.
      if ! ASAN_OPTIONS=quarantine_size_mb=16 "$target" -max_total_time="$fuzz_seconds" -max_len=4096 -print_final_stats=1 "$corpus" >"$log" 2>&1; then
        tail -n 40 "$log"
        echo "fuzz target $name failed; the input that broke it is in the working directory (crash-*)"
        exit 1
      fi
      grep -E 'stat::number_of_executed_units' "$log" || true
    done
    ;;
esac
