#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs every benchmark program of a release build and prints its figures.
set -euo pipefail
build=${1:?build folder}
shopt -s nullglob
for bench in "$build"/bench/*_bench; do
  [ -x "$bench" ] || continue
  echo "== $(basename "$bench")"
  "$bench" --benchmark_counters_tabular=true
done
