#!/usr/bin/env bash
# Builds the libFuzzer harnesses of fuzz/ with clang (libraries instrumented too) and
# runs each for SECONDS (default 30), starting from its committed seed corpus in
# fuzz/corpus/<target>/. Fails on any crash, failed check, leak, time-out or
# out-of-memory; the input that caused it is kept in <build>/findings/<target>/.
#
#   tools/run-fuzz.sh [SECONDS] [TARGET...]
#
# TARGET: report_decoder command_frames settings_file load_bitmap gif_decoder
# capture_index (default all, one after another). New inputs the runs find go to
# <build>/corpus/<target>/, never into the committed seeds. Build folder:
# ${FUZZ_BUILD_DIR:-build-fuzz}.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-30}
shift || true
case "$seconds" in '' | *[!0-9]*) echo "usage: $0 [SECONDS] [TARGET...]" >&2; exit 2 ;; esac
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(report_decoder command_frames settings_file load_bitmap gif_decoder capture_index)
build=${FUZZ_BUILD_DIR:-build-fuzz}

CC=clang-14 CXX=clang++-14 cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTIVANE_BUILD_FUZZ=ON -DTIVANE_BUILD_TESTS=OFF -DTIVANE_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j "${JOBS:-$(nproc)}" --target fuzzers

# Offscreen: the bitmap harness starts Qt, which must never look for a display.
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

failed=()
for target in "${targets[@]}"; do
  program="$build/fuzz/fuzz_$target"
  seeds="fuzz/corpus/$target"
  if [ ! -x "$program" ] || [ ! -d "$seeds" ]; then
    echo "run-fuzz: unknown target '$target'" >&2
    exit 2
  fi
  work="$build/corpus/$target"
  findings="$build/findings/$target"
  mkdir -p "$work" "$findings"
  args=(-max_total_time="$seconds" -timeout="${FUZZ_TIMEOUT:-10}" -rss_limit_mb="${FUZZ_RSS_MB:-2048}"
        -print_final_stats=1 -artifact_prefix="$findings/")
  [ -f "fuzz/$target.dict" ] && args+=(-dict="fuzz/$target.dict")
  echo "== $target: $seconds s"
  log="$build/fuzz-$target.log"
  if "$program" "${args[@]}" "$work" "$seeds" >"$log" 2>&1; then
    grep -E '^(Done|stat::number_of_executed_units|stat::average_exec_per_sec|stat::peak_rss_mb)' "$log" || true
  else
    tail -n 60 "$log"
    echo "== $target FAILED (log: $log, input: $findings/)" >&2
    failed+=("$target")
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "run-fuzz: failed: ${failed[*]}" >&2
  exit 1
fi
echo "run-fuzz: all ${#targets[@]} targets ran $seconds s without a finding"
