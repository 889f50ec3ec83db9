#!/usr/bin/env bash
# First, numbers formatted past the locale-independent formatter (check-number-formats.py,
# over src/ and tools/); then clang-tidy over every source file of src/ with the checks of
# .clang-tidy (headers of src/ are checked through the files that include them). Any
# finding fails the run. Needs a configured build folder for compile_commands.json and
# the generated string-id header; nothing else is built.
#
#   tools/run-static-checks.sh [FILE-REGEX]    (default: every .cpp under src/)
#
# Build folder: ${TIDY_BUILD_DIR:-build-tidy}.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${TIDY_BUILD_DIR:-build-tidy}
filter=${1:-"^$root/src/.*\\.cpp\$"}

python3 tools/check-number-formats.py

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
# The one generated header the sources include (the string ids); nothing else is built.
cmake --build "$build" --target string_ids_header >/dev/null

log="$build/clang-tidy.log"
status=0
run-clang-tidy-14 -p "$build" -j "${JOBS:-$(nproc)}" -quiet -clang-tidy-binary clang-tidy-14 "$filter" \
  >"$log" 2>&1 || status=$?
# Each finding is "file:line:col: error: text [check]"; the same header finding seen
# through several files is listed once.
findings=$(sed 's/\x1b\[[0-9;]*m//g' "$log" | grep -E '^/.*:[0-9]+:[0-9]+: (error|warning): ' | sort -u || true)
if [ -n "$findings" ]; then
  echo "$findings"
  echo "run-static-checks: $(printf '%s\n' "$findings" | wc -l) finding(s); full output in $log" >&2
  exit 1
fi
if [ "$status" -ne 0 ]; then
  tail -n 40 "$log"
  echo "run-static-checks: clang-tidy failed (exit $status); full output in $log" >&2
  exit 1
fi
echo "run-static-checks: src/ clean"
