#!/usr/bin/env bash
# Builds every libFuzzer target with clang (AddressSanitizer and UndefinedBehaviorSanitizer on)
# and runs each on its seed corpus for a fixed budget: FUZZ_SECONDS (default 60) or
# FUZZ_RUNS runs, whichever ends first. Seeds stay untouched; new inputs go to a scratch folder.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
BUILD=${FUZZ_BUILD:-build-fuzz}
SECONDS_PER_TARGET=${FUZZ_SECONDS:-60}
RUNS=${FUZZ_RUNS:--1}
scripts/sanitize.sh --build-only
scratch=$(mktemp -d); trap 'rm -rf "$scratch"' EXIT
failed=0
while read -r name dict seeds; do
  [ -n "$name" ] || continue
  corpus="$scratch/$name"; mkdir -p "$corpus"
  for s in $seeds; do
    if [ -d "$s" ]; then cp -r "$s"/. "$corpus"/; else cp "$s" "$corpus"/; fi
  done
  log="$scratch/$name.log"
  dictarg=(); [ "$dict" = "-" ] || dictarg=(-dict="$dict")
  if ASAN_OPTIONS=detect_leaks=0 "$BUILD/bin/$name" "${dictarg[@]}" -max_total_time="$SECONDS_PER_TARGET" -runs="$RUNS" \
       -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$scratch/$name-" "$corpus" >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "[fuzz] $name: ${runs:-?} runs in ${SECONDS_PER_TARGET}s or less, no crash ($(ls "$corpus" | wc -l) corpus files, dictionary ${dict})"
  else
    echo "[fuzz] $name: FAILED"; tail -40 "$log"; failed=1
  fi
done < "$BUILD/fuzz-targets.txt"
exit $failed
