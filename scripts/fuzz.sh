#!/usr/bin/env bash
# Builds the libFuzzer targets in build-fuzz (clang), replays their corpus and
# regression inputs, then fuzzes each target for FUZZ_SECONDS (default 60)
# from a fresh work corpus under build-fuzz. Fails on any crash, leak,
# sanitizer report, broken invariant, out-of-memory or slow input.
#   scripts/fuzz.sh            replay and fuzz
#   scripts/fuzz.sh --merge    also merge the new interesting inputs into fuzz/corpus/<target>/
# Findings are kept in build-fuzz/fuzz-artifacts/<target>/ (fuzz/README.md).
set -euo pipefail
cd "$(dirname "$0")/.."

merge=0
for arg in "$@"; do
  case "$arg" in
    --merge) merge=1 ;;
    *) echo "usage: scripts/fuzz.sh [--merge]" >&2; exit 2 ;;
  esac
done

seconds="${FUZZ_SECONDS:-60}"
targets=(image_reader_fuzz load_fuzz)
build=build-fuzz
limits=(-malloc_limit_mb=64 -rss_limit_mb=2048 -timeout=1)

scripts/install-deps.sh
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja \
  -DLOCKLEAF_FUZZ=ON -DLOCKLEAF_TESTS=OFF -DLOCKLEAF_BENCH=OFF -DLOCKLEAF_GUI=OFF
cmake --build "$build" --target "${targets[@]}"

export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}"

for t in "${targets[@]}"; do
  exe="$build/fuzz/$t"
  artifacts="$build/fuzz-artifacts/$t"
  mkdir -p "$artifacts"

  mapfile -t inputs < <(find "fuzz/corpus/$t" "fuzz/regressions/$t" -type f ! -name .gitkeep | sort)
  # Without input files libFuzzer would fuzz without end.
  if ((${#inputs[@]} == 0)); then
    echo "FAIL: $t has no corpus (fuzz/make-corpus.sh)" >&2
    exit 1
  fi
  echo "== $t: replaying ${#inputs[@]} inputs"
  "$exe" "${limits[@]}" -artifact_prefix="$artifacts/" "${inputs[@]}" >"$artifacts/replay.log" 2>&1 || {
    tail -n 60 "$artifacts/replay.log"
    echo "FAIL: $t crashed on a corpus or regression input (log: $artifacts/replay.log)" >&2
    exit 1
  }

  work="$build/fuzz-work/$t"
  rm -rf "$work"
  mkdir -p "$work"
  echo "== $t: fuzzing for $seconds s"
  "$exe" "${limits[@]}" -max_total_time="$seconds" -print_final_stats=1 \
    -dict=fuzz/image.dict -artifact_prefix="$artifacts/" \
    "$work" "fuzz/corpus/$t" "fuzz/regressions/$t" >"$artifacts/fuzz.log" 2>&1 || {
    tail -n 60 "$artifacts/fuzz.log"
    echo "FAIL: $t found a crash, leak, slow input or out-of-memory (log: $artifacts/fuzz.log;" \
         "input in $artifacts/)" >&2
    exit 1
  }
  grep -E '^#[0-9]+[[:space:]]+DONE' "$artifacts/fuzz.log" | tail -n 1
  grep -E '^stat::(number_of_executed_units|average_exec_per_sec)' "$artifacts/fuzz.log"

  if ((merge)); then
    echo "== $t: merging new inputs into fuzz/corpus/$t"
    "$exe" "${limits[@]}" -merge=1 "fuzz/corpus/$t" "$work" >"$artifacts/merge.log" 2>&1
    tail -n 1 "$artifacts/merge.log"
  fi
done
echo "every target replayed and fuzzed for $seconds s each without a finding"
echo "fuzz: ${#targets[@]} passed, 0 failed"
