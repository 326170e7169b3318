#!/usr/bin/env bash
# Times a load and a save of the generated 100,000-record database against
# `openssl enc -aes-256-ecb` over the same bytes (whole blocks), median of
# RUNS runs each, and prints the ratios.
#
#   bench/compare-openssl.sh [BUILD_DIR] [RUNS]
#
# BUILD_DIR (default /tmp/bench-build) holds the built bench/ programs.
# Load: wall time of the whole lockleaf_bench_load process against the whole
# openssl process. Save: the save as lockleaf_bench_save times it (file
# written, flushed, renamed, folder flushed; generation excluded) against
# openssl followed by `sync` of its output file. Files go to a scratch folder
# under TMPDIR, so both sides write to the same file system.
set -euo pipefail

build=${1:-/tmp/bench-build}
runs=${2:-5}
save_bin=$build/bench/lockleaf_bench_save
load_bin=$build/bench/lockleaf_bench_load
for bin in "$save_bin" "$load_bin"; do
    [[ -x $bin ]] || { echo "missing $bin: build the bench targets first" >&2; exit 1; }
done
command -v openssl >/dev/null || { echo "openssl not found" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/lockleaf-compare-XXXXXX")
trap 'rm -rf "$work"' EXIT

db=$work/notes.nte
"$save_bin" "$db" 100000 >/dev/null
size=$(stat -c %s "$db")
whole=$work/whole.bin
head -c $((size / 16 * 16)) "$db" >"$whole"
# Any key: the cipher's speed does not depend on it.
key=$(printf '%064x' 0x1eaf)

now() { date +%s%N; }
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

openssl_load=() lockleaf_load=() openssl_save=() lockleaf_save=()
for ((i = 0; i < runs; i++)); do
    t0=$(now)
    openssl enc -aes-256-ecb -nopad -K "$key" -in "$whole" -out "$work/x"
    t1=$(now)
    openssl_load+=($((t1 - t0)))

    t0=$(now)
    "$load_bin" "$db" >/dev/null
    t1=$(now)
    lockleaf_load+=($((t1 - t0)))

    rm -f "$work/y"
    t0=$(now)
    openssl enc -aes-256-ecb -nopad -K "$key" -in "$whole" -out "$work/y" && sync "$work/y"
    t1=$(now)
    openssl_save+=($((t1 - t0)))

    out=$("$save_bin" "$work/saved.nte" 100000)
    lockleaf_save+=("${out##*save_ns=}")
done

ms() { awk -v ns="$1" 'BEGIN { printf "%.1f", ns / 1e6 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

ol=$(printf '%s\n' "${openssl_load[@]}" | median)
ll=$(printf '%s\n' "${lockleaf_load[@]}" | median)
os=$(printf '%s\n' "${openssl_save[@]}" | median)
ls=$(printf '%s\n' "${lockleaf_save[@]}" | median)

echo "database: 100000 records, $size bytes; median of $runs runs"
printf '%-34s %10s ms\n' "openssl enc (load side)" "$(ms "$ol")"
printf '%-34s %10s ms\n' "lockleaf load (whole process)" "$(ms "$ll")"
printf '%-34s %10s\n' "load / openssl" "$(ratio "$ll" "$ol")"
printf '%-34s %10s ms\n' "openssl enc + sync (save side)" "$(ms "$os")"
printf '%-34s %10s ms\n' "lockleaf save" "$(ms "$ls")"
printf '%-34s %10s\n' "save / openssl" "$(ratio "$ls" "$os")"
