#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs every fuzz target found in the build folder for a fixed time, each over a
# scratch copy of its checked-in seed corpus so that the tree stays clean.
# A target fails when it exits non-zero or when its log holds any sanitizer
# report, so that a report which somehow let the run go on still counts.
set -euo pipefail
build=${1:?build folder}
seconds=${2:-30}
root=$(cd "$(dirname "$0")/.." && pwd)
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
export ASAN_OPTIONS=${ASAN_OPTIONS:-halt_on_error=1:detect_leaks=1:print_stacktrace=1}
shopt -s nullglob
targets=("$build"/fuzz/fuzz_*)
if [ ${#targets[@]} -eq 0 ]; then
  echo "no fuzz targets built"
  exit 0
fi
failed=0
for target in "${targets[@]}"; do
  [ -f "$target" ] && [ -x "$target" ] || continue # skip folders such as *_autogen
  name=$(basename "$target")
  log="$build/fuzz/$name.log"
  work=$(mktemp -d)
  seeds="$root/fuzz/corpus/${name#fuzz_}"
  [ -d "$seeds" ] && cp -r "$seeds"/. "$work"/
  echo "== $name for ${seconds}s"
  status=0
  "$target" "$work" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=1 \
    -artifact_prefix="$build/fuzz/$name-" -print_final_stats=1 2>"$log" || status=$?
  if [ $status -eq 0 ] && grep -qE 'runtime error|ERROR: AddressSanitizer|ERROR: LeakSanitizer|UndefinedBehaviorSanitizer' "$log"; then
    echo "$name exited 0 but its log holds a sanitizer report"
    status=1
  fi
  if [ $status -ne 0 ]; then
    tail -n 40 "$log"
    echo "== $name FAILED (status $status)"
    failed=1
  else
    grep -E 'stat::number_of_executed_units|Done' "$log" | tail -n 2
  fi
  rm -rf "$work"
done
exit $failed
