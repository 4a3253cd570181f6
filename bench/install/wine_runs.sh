#!/usr/bin/env bash
# wine_runs.sh WORK RUNS DRIVER PLAIN_COPY INSTALL_STEPS: the measuring part of wine.sh, run
# with the prefix's environment. WORK holds demo/ and mixed/, each with the
# product's files in product/ and its package VXRSetup.exe.
set -uo pipefail
work=$1 runs=$2 driver=$3 plain_copy=$4 install_steps=$5
# shellcheck source=tests/wine/e2e/install_lib.sh
. "$(dirname "$0")/../../tests/wine/e2e/install_lib.sh"

now_ms() { echo $(($(date +%s%N) / 1000000)); }
median() { tr ' ' '\n' <<<"$*" | sed '/^$/d' | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

printf '%-8s %9s %11s %9s %7s\n' product MB install_ms copy_ms ratio
for product in demo mixed; do
  installs="" copies=""
  bytes=$(cat "$work/$product/product"/* | wc -c)
  for _ in $(seq 1 "$runs"); do
    clean_machine
    start_setup "$work/$product/VXRSetup.exe"
    walk_to_destination
    drive "timeout 600"
    start=$(now_ms)
    must "click $next"
    must "expect $next text Finish"
    installs+=" $(($(now_ms) - start))"
    close_group_window
    must "click $next"
    wait_setup_end
    stop_setup
    trap - EXIT
    check_files "$work/$product/product"

    rm -rf "$work/copy"
    copy=$("$VXR_WINE" "$plain_copy" "$work/$product/product" "$work/copy" "${product_files[@]}" | tr -d '\r')
    copies+=" ${copy%.*}"
    cmp -s "$work/$product/product/VXR.chm" "$work/copy/VXR.chm" || fail "the plain copy is not a copy"
  done
  install=$(median $installs) copy=$(median $copies)
  printf '%-8s %9.1f %11s %9s %6sx   (runs: install%s; copy%s)\n' "$product" "$(bc <<<"scale=1; $bytes / 1000000")" \
    "$install" "$copy" "$(bc <<<"scale=2; $install / $copy")" "$installs" "$copies"
done

echo
echo "The setup's steps alone (ms): extraction, extraction without the CRC check, CRC alone, expansion,"
echo "LZ32 alone on the same pieces, registry step, program group, Program Manager alone on its commands;"
echo "then the setup's own share of its steps: all but LZ32 and Program Manager"
for product in demo mixed; do
  rm -rf "$work/steps"
  mkdir -p "$work/steps"
  steps=$("$VXR_WINE" "$install_steps" "$work/$product/VXRSetup.exe" "$work/steps/staging" \
    "$work/steps/installed" | tr -d '\r')
  printf '%-8s %s   own share %s%%\n' "$product" "$steps" "$(awk '{
    all = $1 + $4 + $6 + $7; own = all - $5 - $8; printf "%.0f", 100 * own / all }' <<<"$steps")"
done
rm -rf "$work/steps" "$work/copy"
[ "$failures" -eq 0 ]
