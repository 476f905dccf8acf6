#!/usr/bin/env bash
# Runs every built fuzz target for the given number of seconds each (default 60), keeping a
# corpus per target under build-fuzz/corpus/. Example for a long run: tools/fuzz.sh 1800
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
shopt -s nullglob
for target in "$root"/build-fuzz/fuzz/*; do
  [[ -x "$target" ]] || continue
  name="$(basename "$target")"
  corpus="$root/build-fuzz/corpus/$name"
  log="$root/build-fuzz/$name.log"
  mkdir -p "$corpus"
  # A target's dictionary of words, when it has one: tests/fuzz/<name without fuzz_>.dict
  dict=()
  [[ -f "$root/tests/fuzz/${name#fuzz_}.dict" ]] && dict=(-dict="$root/tests/fuzz/${name#fuzz_}.dict")
  if ! "$target" -max_total_time="$seconds" -print_final_stats=1 "${dict[@]}" "$corpus" >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "fuzz $name: FAILED (log: $log)"
    exit 1
  fi
  echo "fuzz $name: $(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$') inputs in ${seconds}s"
done
