#!/usr/bin/env bash
# run_fuzz.sh CLANGXX SOURCE_DIR OUTPUT SECONDS [RUNS]: builds the expander's
# libFuzzer target with clang and runs it for SECONDS, or until it has run
# RUNS inputs (longer by hand: any numbers).
set -euo pipefail
cxx=$1 src=$2 out=$3 seconds=$4 runs=${5:--1}
"$cxx" -std=c++20 -O1 -g -I"$src" -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  "$src/tests/codec/szdd_fuzz.cpp" "$src/codec/szdd_expander.cpp" -o "$out"
corpus="$out.corpus"
mkdir -p "$corpus"
# Seeds: a header with a few items, so the fuzzer starts inside the format.
printf 'SZDD\x88\xf0\x273A\x76\x12\x00\x00\x00\xffABCDEFGH\x00\xf0\xf7' >"$corpus/seed-small"
exec "$out" -max_total_time="$seconds" -runs="$runs" -rss_limit_mb=1024 -print_final_stats=1 "$corpus"
