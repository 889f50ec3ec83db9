#!/usr/bin/env bash
# Sanitizer runs of the tests; any report fails the run.
#   address: every test, built with AddressSanitizer + UndefinedBehaviorSanitizer
#            (LeakSanitizer included), in ${ASAN_BUILD_DIR:-build-asan};
#   thread:  the tests that run threads, built with ThreadSanitizer, in
#            ${TSAN_BUILD_DIR:-build-tsan}: debug output, threads and the port registry
#            of the common library; the radar device library in-process and over a
#            pseudo-terminal; the acquisition worker over a pseudo-terminal; the chart
#            fed while it paints; the main window fed by live and replayed reports (the
#            display, the chart, the state band and the figures across threads).
#
#   tools/run-sanitizers.sh [address] [thread]    (default: both)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=${JOBS:-$(nproc)}
modes=("$@")
[ ${#modes[@]} -gt 0 ] || modes=(address thread)

export QT_QPA_PLATFORM=offscreen

# The threaded tests: their programs, and the ctest names of the tests to run in them.
tsan_targets=(common_tests ports_tests radar_tests acquisition_session_tests chart_concurrency_tests session_tests app_tests)
tsan_tests='^common\.(DbgOutputTest\.|CBaseThread\.)|^ports\.SerialPortNames\.RegistryIsThreadSafe|^(RadarDeviceOverPty|RadarDeviceInProcess|RadarDeviceHandle)\.|^(SessionOverPty|AcquisitionSession)\.|^WaveWndConcurrency\.|^(TaskRunner|LinkController|ReportFanOut)\.|^MainWindow(Replay|Reports|Connection)\.'

configure() {
  cmake -S . -B "$1" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTIVANE_BUILD_BENCH=OFF \
    -DTIVANE_SANITIZE="$2" >/dev/null
}

run_address() {
  local build=${ASAN_BUILD_DIR:-build-asan}
  echo "== AddressSanitizer + UndefinedBehaviorSanitizer: all tests ($build)"
  configure "$build" address
  cmake --build "$build" -j "$jobs"
  ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir "$build" --output-on-failure -j "$jobs" --timeout 600
}

run_thread() {
  local build=${TSAN_BUILD_DIR:-build-tsan}
  echo "== ThreadSanitizer: threaded tests ($build)"
  configure "$build" thread
  cmake --build "$build" -j "$jobs" --target "${tsan_targets[@]}"
  # A test that reports fails at once. Qt is not instrumented: ThreadSanitizer sees of
  # it only the calls it intercepts (memmove, malloc, free, pthread), never the futex
  # mutex that orders them, so its own containers and event queue would look racy;
  # ignore_noninstrumented_modules drops the memory accesses of those calls (our own
  # code stays fully checked, and the pthread synchronisation Qt does is still seen).
  # history_size keeps enough history to restore both stacks of a report, so that the
  # suppressions in tsan-qt.supp (Qt's queued-call hand-over) match reliably.
  TSAN_OPTIONS="halt_on_error=1:abort_on_error=1:second_deadlock_stack=1:history_size=7:ignore_noninstrumented_modules=1:suppressions=$root/tests/support/tsan-qt.supp" \
    ctest --test-dir "$build" --output-on-failure -j "$jobs" --timeout 600 -R "$tsan_tests" \
    | tee "$build/tsan-ctest.log"
  # An empty selection would pass silently: the test names above must still exist.
  if ! grep -qE '^100% tests passed, 0 tests failed out of [1-9]' "$build/tsan-ctest.log"; then
    echo "run-sanitizers: the ThreadSanitizer selection ran no tests or failed" >&2
    return 1
  fi
}

for mode in "${modes[@]}"; do
  case "$mode" in
    address) run_address ;;
    thread) run_thread ;;
    *) echo "usage: $0 [address] [thread]" >&2; exit 2 ;;
  esac
done
echo "run-sanitizers: ${modes[*]}: no reports"
