#!/usr/bin/env bash
# Runs every fuzz target found in the build folder for a fixed time, each over a
# scratch copy of its checked-in seed corpus so that the tree stays clean.
set -euo pipefail
build=${1:?build folder}
seconds=${2:-30}
root=$(cd "$(dirname "$0")/.." && pwd)
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
  work=$(mktemp -d)
  seeds="$root/fuzz/corpus/${name#fuzz_}"
  [ -d "$seeds" ] && cp -r "$seeds"/. "$work"/
  echo "== $name for ${seconds}s"
  if ! "$target" "$work" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=1 \
      -artifact_prefix="$build/fuzz/$name-" -print_final_stats=1 2>"$build/fuzz/$name.log"; then
    tail -n 40 "$build/fuzz/$name.log"
    failed=1
  else
    grep -E 'stat::number_of_executed_units|Done' "$build/fuzz/$name.log" | tail -n 2
  fi
  rm -rf "$work"
done
exit $failed
